#include "platform/touch_layout.h"

#include <algorithm>

namespace {

enum Corner { BOTTOM_LEFT, BOTTOM_RIGHT, TOP_RIGHT, TOP_LEFT };

bool inside(const TouchRect& r, float x, float y) {
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

// The buttons' side: as large as the narrower bar beside or above the picture takes a pair (so
// it stays off the picture), else a share of the page's shorter side over the picture's edge;
// never so large that two pairs and the Escape button between them stop fitting across the page,
// or a pair above another down it.
float button_size(float page_width, float page_height, TouchRect picture) {
    const float side_bar = std::min(picture.x, page_width - picture.x - picture.width);
    const float end_bar = std::min(picture.y, page_height - picture.y - picture.height);
    const float in_side_bar = (side_bar - 3 * TOUCH_MARGIN) / 2; // two across, margins around
    const float in_end_bar = end_bar - 2 * TOUCH_MARGIN;
    const float in_bar = std::max(in_side_bar, in_end_bar);
    const float wanted = in_bar >= TOUCH_BUTTON_MIN ? std::min(in_bar, TOUCH_BUTTON_MAX)
                                                    : std::clamp(std::min(page_width, page_height) / 12,
                                                                 TOUCH_BUTTON_MIN, TOUCH_BUTTON_MAX);
    const float across = (page_width - TOUCH_ESCAPE_SIZE - 6 * TOUCH_MARGIN) / 4;
    const float down = (page_height - 3 * TOUCH_MARGIN) / 2;
    return std::max(TOUCH_BUTTON_MIN, std::min({wanted, across, down}));
}

// The place of one button of a corner's pair: `outer` is the one at the page's edge.
TouchRect corner_place(Corner corner, bool outer, float size, float page_width, float page_height) {
    const bool left = corner == BOTTOM_LEFT || corner == TOP_LEFT;
    const bool top = corner == TOP_LEFT || corner == TOP_RIGHT;
    const float from_edge = outer ? TOUCH_MARGIN : 2 * TOUCH_MARGIN + size;
    const float x = left ? from_edge : page_width - from_edge - size;
    const float y = top ? TOUCH_MARGIN : page_height - TOUCH_MARGIN - size;
    return {x, y, size, size};
}

} // namespace

TouchLayout touch_layout(float page_width, float page_height, TouchRect picture, uint32_t seats) {
    TouchLayout layout{};
    layout.escape = {(page_width - TOUCH_ESCAPE_SIZE) / 2, TOUCH_MARGIN, TOUCH_ESCAPE_SIZE,
                     TOUCH_ESCAPE_SIZE};
    std::array<int32_t, TOUCH_SLOTS> people{};
    int32_t count = 0;
    for (int32_t slot = 0; slot < TOUCH_SLOTS; ++slot)
        if (seats & (1u << slot)) people[count++] = slot;
    const float size = button_size(page_width, page_height, picture);
    auto add = [&](int32_t slot, int32_t direction, TouchRect rect, bool upside_down) {
        layout.buttons[layout.count++] = {slot, direction, rect, upside_down, slot};
    };
    if (count == 1) { // both thumbs of one person
        add(people[0], -1, corner_place(BOTTOM_LEFT, true, size, page_width, page_height), false);
        add(people[0], +1, corner_place(BOTTOM_RIGHT, true, size, page_width, page_height), false);
        return layout;
    }
    for (int32_t person = 0; person < count; ++person) {
        const auto corner = static_cast<Corner>(person);
        const bool left_corner = corner == BOTTOM_LEFT || corner == TOP_LEFT;
        // Seen from the person's own side, the turn left button is on their left hand.
        const bool upside_down = corner == TOP_LEFT || corner == TOP_RIGHT;
        const bool left_is_outer = left_corner != upside_down;
        const int32_t slot = people[person];
        add(slot, -1, corner_place(corner, left_is_outer, size, page_width, page_height), upside_down);
        add(slot, +1, corner_place(corner, !left_is_outer, size, page_width, page_height), upside_down);
    }
    return layout;
}

TouchLayout touch_controller_layout(float page_width, float page_height, int32_t seat) {
    TouchLayout layout{};
    const float width = std::max(TOUCH_BUTTON_MIN, (page_width - 3 * TOUCH_MARGIN) / 2);
    const float height = std::max(TOUCH_BUTTON_MIN, page_height - TOUCH_CAPTION_HEIGHT - TOUCH_MARGIN);
    layout.buttons[0] = {0, -1, {TOUCH_MARGIN, TOUCH_CAPTION_HEIGHT, width, height}, false, seat};
    layout.buttons[1] = {0, +1, {2 * TOUCH_MARGIN + width, TOUCH_CAPTION_HEIGHT, width, height}, false, seat};
    layout.count = 2;
    return layout; // the Escape button is empty: no finger lands on it
}

int32_t touch_target(const TouchLayout& layout, float x, float y) {
    if (inside(layout.escape, x, y)) return TOUCH_ESCAPE;
    for (int32_t i = 0; i < layout.count; ++i)
        if (inside(layout.buttons[i].rect, x, y)) return i;
    return TOUCH_ELSEWHERE;
}
