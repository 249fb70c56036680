#include "engine/input_events.h"

EventQueue event_queue;

InputEvent* event_push() {
    if (event_queue.write_count >= EVENT_QUEUE_SIZE) return nullptr;
    return &event_queue.entries[event_queue.write_count++];
}

InputEvent* event_next() {
    if (event_queue.read_index < event_queue.write_count)
        return &event_queue.entries[event_queue.read_index++];
    event_queue.read_index = 0;
    event_queue.write_count = 0;
    return nullptr;
}

void event_key_down(int virtual_key) {
    InputEvent* e = event_push();
    if (!e) return;
    e->kind = EVENT_KEY;
    e->down = 1;
    e->code = virtual_key;
}

bool click_point(uint16_t px, uint16_t py, const ClickArea& area, int32_t* x, int32_t* y) {
    // A minimised window has no screen to click on.
    if (area.width == 0 || area.height == 0) return false;
    *x = (static_cast<int32_t>(px) - area.left) * area.virtual_width / area.width;
    *y = (static_cast<int32_t>(py) - area.top) * area.virtual_height / area.height;
    return true;
}

void event_button_down(int button, uint16_t px, uint16_t py, const ClickArea& area) {
    int32_t x = 0, y = 0;
    if (!click_point(px, py, area, &x, &y)) return;
    InputEvent* e = event_push();
    if (!e) return;
    e->kind = EVENT_MOUSE_BUTTON;
    e->down = 1;
    e->code = button;
    e->x = x;
    e->y = y;
}
