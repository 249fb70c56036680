// Input events: key and mouse-button presses queued by the window handlers, read by the
// current scene's update with event_next. The queue is no ring: it fills from entry 0 and is
// emptied at once when a reader finds nothing more. Main thread only.
#pragma once
#include <array>
#include <cstdint>

constexpr int EVENT_KEY = 0;
constexpr int EVENT_MOUSE_BUTTON = 8;
constexpr int EVENT_QUEUE_SIZE = 50;

struct InputEvent {
    int32_t kind; // EVENT_KEY or EVENT_MOUSE_BUTTON
    int32_t down; // always 1: only presses are queued
    int32_t code; // virtual-key code, or mouse button 0 left / 1 right
    int32_t x, y; // mouse presses only, virtual pixels; stale for keys
    // Filled when the game takes the press into its tick's input (the window handlers leave
    // them alone): the player slot whose control it is, or -1, and what it means for that slot
    // in the game's own numbering (0: nothing).
    int32_t seat;
    int32_t seat_action;
};

struct EventQueue {
    std::array<InputEvent, EVENT_QUEUE_SIZE> entries;
    int32_t write_count;
    int32_t read_index;
};

extern EventQueue event_queue;

// Null when the queue is full (the event is lost). The entry is not cleared.
InputEvent* event_push();
// Null when everything was read; that call also empties the queue.
InputEvent* event_next();

// Where the virtual screen lies in the window, for mapping clicks.
struct ClickArea {
    int32_t left, top, width, height;
    int32_t virtual_width, virtual_height;
};

// Called by the window handlers.
void event_key_down(int virtual_key);
void event_button_down(int button, uint16_t px, uint16_t py, const ClickArea& area);
// The virtual point of a window pixel, as a click there is queued; false in a minimised window.
bool click_point(uint16_t px, uint16_t py, const ClickArea& area, int32_t* x, int32_t* y);
