#include "app/viewport.h"

#include "platform/gl.h"

int32_t window_width, window_height;
int32_t virtual_width, virtual_height;
Viewport viewport;

Viewport viewport_compute(int32_t window_w, int32_t window_h, int32_t virtual_w, int32_t virtual_h) {
    Viewport v{};
    if (virtual_w > 0) {
        const double sx = static_cast<double>(window_w) / virtual_w;
        const double sy = static_cast<double>(window_h) / virtual_h;
        if (sx > sy) v.left = static_cast<int32_t>((window_w - virtual_w * sy) * 0.5);
        if (sy > sx) v.top = static_cast<int32_t>((window_h - virtual_h * sx) * 0.5);
    }
    v.width = window_w - 2 * v.left;
    v.height = window_h - 2 * v.top;
    v.right = window_w - v.left;
    v.bottom = window_h - v.top;
    return v;
}

void viewport_update() {
    viewport = viewport_compute(window_width, window_height, virtual_width, virtual_height);
    // Before the virtual screen is set (resizes during window creation) the window is the screen.
    const bool configured = virtual_width > 0;
    glViewport(viewport.left, viewport.top, viewport.width, viewport.height);
    glEnable(GL_SCISSOR_TEST);
    glScissor(viewport.left, viewport.top, viewport.width, viewport.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, configured ? virtual_width : window_width, configured ? virtual_height : window_height, 0, -1, 1);
}

void display_configure() {
    virtual_width = VIRTUAL_SCREEN_WIDTH;
    virtual_height = VIRTUAL_SCREEN_HEIGHT;
    viewport_update();
}
