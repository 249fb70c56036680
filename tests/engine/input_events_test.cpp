#include "engine_fixture.h"

namespace {

using InputEventsTest = EngineTest;

// A 1280 x 720 client: the 640 x 480 screen scaled to 960 x 720 with 160-pixel side bars.
constexpr ClickArea WIDE{160, 0, 960, 720, 640, 480};

TEST_F(InputEventsTest, EventsAreReadInOrderThenTheQueueEmpties) {
    event_key_down(81);
    event_key_down(27);
    event_button_down(1, 160, 0, WIDE);
    const InputEvent* e = event_next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind, EVENT_KEY);
    EXPECT_EQ(e->down, 1);
    EXPECT_EQ(e->code, 81);
    EXPECT_EQ(event_next()->code, 27);
    e = event_next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind, EVENT_MOUSE_BUTTON);
    EXPECT_EQ(e->code, 1);
    EXPECT_EQ(event_next(), nullptr);
    EXPECT_EQ(event_next(), nullptr);
    EXPECT_EQ(event_queue.write_count, 0);
    // Refills from the first entry.
    event_key_down(32);
    EXPECT_EQ(event_next(), &event_queue.entries[0]);
}

TEST_F(InputEventsTest, SixtyPressesBetweenReadsDeliverFifty) {
    for (int i = 0; i < 60; ++i)
        event_key_down(i);
    int delivered = 0;
    while (const InputEvent* e = event_next())
        EXPECT_EQ(e->code, delivered++);
    EXPECT_EQ(delivered, EVENT_QUEUE_SIZE);
    // The dropped ones stay dropped; the queue takes new presses again.
    event_key_down(99);
    EXPECT_EQ(event_next()->code, 99);
}

TEST_F(InputEventsTest, ClicksMapIntoTheVirtualScreenWithTruncation) {
    const struct {
        uint16_t px, py;
        int x, y;
    } cases[] = {{160, 0, 0, 0},
                 {1119, 719, 639, 479},
                 {100, 100, -40, 66},
                 {0, 0, -106, 0},
                 {65535, 65535, 43583, 43690}};
    for (const auto& c : cases) {
        event_button_down(0, c.px, c.py, WIDE);
        const InputEvent* e = event_next();
        ASSERT_TRUE(e);
        EXPECT_EQ(e->kind, EVENT_MOUSE_BUTTON);
        EXPECT_EQ(e->code, 0);
        EXPECT_EQ(e->x, c.x) << c.px;
        EXPECT_EQ(e->y, c.y) << c.py;
        EXPECT_EQ(event_next(), nullptr);
    }
}

TEST_F(InputEventsTest, NoClickEventWhileTheViewportIsEmpty) {
    event_button_down(0, 10, 10, ClickArea{0, 0, 0, 720, 640, 480});
    event_button_down(1, 10, 10, ClickArea{0, 0, 960, 0, 640, 480});
    EXPECT_EQ(event_next(), nullptr);
}

} // namespace
