// The letterbox: the 640 x 480 virtual screen scaled uniformly into the window and centred,
// with bars the program never draws. Main thread only.
#pragma once
#include <cstdint>

constexpr int32_t VIRTUAL_SCREEN_WIDTH = 640;
constexpr int32_t VIRTUAL_SCREEN_HEIGHT = 480;

struct Viewport {
    int32_t left, top;     // margins, equal on opposite sides
    int32_t width, height; // drawing area
    int32_t right, bottom; // window size minus left / top
};

extern int32_t window_width, window_height; // client size once the first resize arrived
extern int32_t virtual_width, virtual_height; // 0 until display_configure
extern Viewport viewport;

// The viewport arithmetic alone, for tests.
Viewport viewport_compute(int32_t window_w, int32_t window_h, int32_t virtual_w, int32_t virtual_h);

// Recomputes the viewport and sets the GL viewport, scissor and projection.
void viewport_update();

// Called once by engine_init: fixes the virtual screen, then viewport_update.
void display_configure();
