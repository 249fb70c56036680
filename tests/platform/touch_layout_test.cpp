// Where the touch buttons go on the pages people play on, and what a finger presses there.
#include "platform/touch_layout.h"

#include <gtest/gtest.h>

namespace {

bool overlap(const TouchRect& a, const TouchRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool within(const TouchRect& inner, float width, float height) {
    return inner.x >= 0 && inner.y >= 0 && inner.x + inner.width <= width && inner.y + inner.height <= height;
}

TouchRect centred_picture(float width, float height) {
    const float scale = std::min(width / 640, height / 480);
    return {(width - 640 * scale) / 2, (height - 480 * scale) / 2, 640 * scale, 480 * scale};
}

struct Expected {
    int32_t slot, direction;
    bool left_half, top_half, upside_down;
};

TEST(TouchLayout, EachPersonsPairOnTheirOwnSideNeverOverThePictureWhereTheBarsLeaveRoom) {
    const struct {
        const char* page;
        float width, height;
        uint32_t seats;
        bool off_picture;
        std::vector<Expected> buttons; // in layout order
    } rows[] = {
        {"phone held sideways, two people",
         844,
         390,
         0b0011,
         true,
         {{0, -1, true, false, false},
          {0, 1, true, false, false},
          {1, -1, false, false, false},
          {1, 1, false, false, false}}},
        {"phone, players 2 and 4 (1 and 3 computers)",
         844,
         390,
         0b1010,
         true,
         {{1, -1, true, false, false},
          {1, 1, true, false, false},
          {3, -1, false, false, false},
          {3, 1, false, false, false}}},
        {"phone, one person: a thumb each side",
         844,
         390,
         0b0100,
         true,
         {{2, -1, true, false, false}, {2, 1, false, false, false}}},
        {"phone upright: the bars are above and below",
         390,
         844,
         0b0011,
         true,
         {{0, -1, true, false, false},
          {0, 1, true, false, false},
          {1, -1, false, false, false},
          {1, 1, false, false, false}}},
        {"tablet lying flat, four people: the far two face the other way",
         1180,
         820,
         0b1111,
         false,
         {{0, -1, true, false, false},
          {0, 1, true, false, false},
          {1, -1, false, false, false},
          {1, 1, false, false, false},
          {2, -1, false, true, true},
          {2, 1, false, true, true},
          {3, -1, true, true, true},
          {3, 1, true, true, true}}},
        {"4:3 tablet, three people",
         1024,
         768,
         0b0111,
         false,
         {{0, -1, true, false, false},
          {0, 1, true, false, false},
          {1, -1, false, false, false},
          {1, 1, false, false, false},
          {2, -1, false, true, true},
          {2, 1, false, true, true}}},
        {"nobody in play", 844, 390, 0, true, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.page);
        const TouchRect picture = centred_picture(row.width, row.height);
        const TouchLayout layout = touch_layout(row.width, row.height, picture, row.seats);
        ASSERT_EQ(layout.count, static_cast<int32_t>(row.buttons.size()));
        EXPECT_TRUE(within(layout.escape, row.width, row.height));
        for (int32_t i = 0; i < layout.count; ++i) {
            const TurnButton& b = layout.buttons[i];
            const Expected& e = row.buttons[i];
            EXPECT_EQ(b.slot, e.slot);
            EXPECT_EQ(b.direction, e.direction);
            EXPECT_EQ(b.rect.x + b.rect.width / 2 < row.width / 2, e.left_half) << i;
            EXPECT_EQ(b.rect.y + b.rect.height / 2 < row.height / 2, e.top_half) << i;
            EXPECT_EQ(b.upside_down, e.upside_down) << i;
            EXPECT_GE(b.rect.width, TOUCH_BUTTON_MIN);
            EXPECT_EQ(b.rect.width, b.rect.height);
            EXPECT_TRUE(within(b.rect, row.width, row.height)) << i;
            EXPECT_EQ(overlap(b.rect, picture), !row.off_picture) << i;
            EXPECT_FALSE(overlap(b.rect, layout.escape)) << i;
            for (int32_t j = 0; j < i; ++j)
                EXPECT_FALSE(overlap(b.rect, layout.buttons[j].rect)) << i << " " << j;
            // Whoever sits at the pair has their turn left button on their left hand.
            if (i % 2 == 1 && b.slot == layout.buttons[i - 1].slot) {
                const bool right_of_left = b.rect.x > layout.buttons[i - 1].rect.x;
                EXPECT_EQ(right_of_left, !b.upside_down) << i;
            }
            // A finger on the button presses that button.
            EXPECT_EQ(touch_target(layout, b.rect.x + 1, b.rect.y + b.rect.height - 1), i);
        }
        EXPECT_EQ(touch_target(layout, layout.escape.x + 1, layout.escape.y + 1), TOUCH_ESCAPE);
        EXPECT_EQ(touch_target(layout, row.width / 2, row.height / 2), TOUCH_ELSEWHERE);
    }
}

} // namespace
