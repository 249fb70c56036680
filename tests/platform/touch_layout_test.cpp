// Where the touch buttons go on the pages people play on, and what a finger presses there.
#include "platform/touch_layout.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

bool overlap(const TouchRect& a, const TouchRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(TouchLayout, EachPersonsPairOnTheirOwnSideNeverOverThePictureWhereTheBarsLeaveRoom) {
    // Per button in layout order (turn left, then right, person by person): the slot, then the
    // page's quarter (B or T, L or R); the pairs at the top face the far side.
    const struct {
        const char* page;
        float width, height;
        uint32_t seats;
        bool off_picture;
        const char* buttons;
    } rows[] = {
        {"phone held sideways, two people", 844, 390, 0b0011, true, "0BL 0BL 1BR 1BR"},
        {"phone, players 2 and 4 (1 and 3 computers)", 844, 390, 0b1010, true, "1BL 1BL 3BR 3BR"},
        {"phone, one person: a thumb each side", 844, 390, 0b0100, true, "2BL 2BR"},
        {"phone upright: the bars are above and below", 390, 844, 0b0011, true, "0BL 0BL 1BR 1BR"},
        {"tablet lying flat, four people", 1180, 820, 0b1111, false, "0BL 0BL 1BR 1BR 2TR 2TR 3TL 3TL"},
        {"4:3 tablet, three people", 1024, 768, 0b0111, false, "0BL 0BL 1BR 1BR 2TR 2TR"},
        {"nobody in play", 844, 390, 0, true, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.page);
        const float scale = std::min(row.width / 640, row.height / 480);
        const TouchRect picture{(row.width - 640 * scale) / 2, (row.height - 480 * scale) / 2, 640 * scale,
                                480 * scale};
        const TouchLayout layout = touch_layout(row.width, row.height, picture, row.seats);
        std::istringstream expected(row.buttons);
        std::string place;
        int32_t i = 0;
        for (; expected >> place; ++i) {
            ASSERT_LT(i, layout.count);
            const TurnButton& b = layout.buttons[i];
            EXPECT_EQ(b.slot, place[0] - '0') << i;
            EXPECT_EQ(b.direction, i % 2 == 0 ? -1 : 1) << i;
            EXPECT_EQ(b.rect.y + b.rect.height / 2 < row.height / 2, place[1] == 'T') << i;
            EXPECT_EQ(b.rect.x + b.rect.width / 2 < row.width / 2, place[2] == 'L') << i;
            EXPECT_EQ(b.upside_down, place[1] == 'T') << i;
            EXPECT_GE(b.rect.width, TOUCH_BUTTON_MIN);
            EXPECT_EQ(b.rect.width, b.rect.height);
            EXPECT_TRUE(b.rect.x >= 0 && b.rect.y >= 0 && b.rect.x + b.rect.width <= row.width &&
                        b.rect.y + b.rect.height <= row.height)
                << i;
            EXPECT_EQ(overlap(b.rect, picture), !row.off_picture) << i;
            EXPECT_FALSE(overlap(b.rect, layout.escape)) << i;
            for (int32_t j = 0; j < i; ++j)
                EXPECT_FALSE(overlap(b.rect, layout.buttons[j].rect)) << i << " " << j;
            // Whoever sits at a pair has its turn left button at their left hand.
            if (i % 2 == 1 && b.slot == layout.buttons[i - 1].slot) {
                EXPECT_EQ(b.rect.x > layout.buttons[i - 1].rect.x, !b.upside_down) << i;
            }
            EXPECT_EQ(touch_target(layout, b.rect.x + 1, b.rect.y + b.rect.height - 1), i);
        }
        EXPECT_EQ(layout.count, i);
        EXPECT_EQ(touch_target(layout, layout.escape.x + 1, layout.escape.y + 1), TOUCH_ESCAPE);
        EXPECT_EQ(touch_target(layout, row.width / 2, row.height / 2), TOUCH_ELSEWHERE);
    }
}

TEST(TouchLayout, AControllersPairFillsThePageBelowItsLineAndPressesTheFirstControlSet) {
    const struct {
        float width, height;
    } pages[] = {{390, 844}, {844, 390}, {320, 100}};
    for (const auto& page : pages) {
        SCOPED_TRACE(page.width);
        const TouchLayout layout = touch_controller_layout(page.width, page.height, 2);
        ASSERT_EQ(layout.count, 2);
        for (int32_t i = 0; i < 2; ++i) {
            const TurnButton& b = layout.buttons[i];
            EXPECT_EQ(b.slot, 0);
            EXPECT_EQ(b.seat, 2);
            EXPECT_EQ(b.direction, i == 0 ? -1 : 1);
            EXPECT_EQ(b.rect.x + b.rect.width / 2 < page.width / 2, i == 0); // a thumb each side
            EXPECT_GE(b.rect.y, TOUCH_CAPTION_HEIGHT);
            EXPECT_GE(b.rect.height, page.height - TOUCH_CAPTION_HEIGHT - TOUCH_MARGIN);
            EXPECT_GE(b.rect.width, (page.width - 3 * TOUCH_MARGIN) / 2);
            EXPECT_EQ(touch_target(layout, b.rect.x + b.rect.width / 2, b.rect.y + b.rect.height - 1), i);
        }
        EXPECT_FALSE(overlap(layout.buttons[0].rect, layout.buttons[1].rect));
        EXPECT_EQ(touch_target(layout, page.width / 2, TOUCH_CAPTION_HEIGHT / 2), TOUCH_ELSEWHERE);
        EXPECT_EQ(touch_target(layout, 0, 0), TOUCH_ELSEWHERE); // no Escape button
    }
}

} // namespace
