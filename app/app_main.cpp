#include "app/app.h"

#include "app/frame_timer.h"
#include "app/viewport.h"
#include "engine/input_events.h"
#include "engine/scene.h"
#include "engine/sprite_renderer.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace {

void on_resize(int client_width, int client_height) {
    window_width = client_width;
    window_height = client_height;
    viewport_update();
}

// Closing only asks the loop to end; the window goes at teardown.
void on_close() { platform_quit_post(0); }

void on_key_down(int virtual_key) { event_key_down(virtual_key); }

void on_button_down(int button, uint16_t px, uint16_t py) {
    const ClickArea area{viewport.left, viewport.top, viewport.width, viewport.height, virtual_width, virtual_height};
    event_button_down(button, px, py, area);
}

constexpr WindowHandlers handlers{on_resize, on_close, on_key_down, on_button_down};

} // namespace

bool main_loop_pass(int* exit_code) {
    switch (platform_message_poll(exit_code)) {
    case MessagePoll::quit:
        return false;
    case MessagePoll::dispatched:
        return true; // nothing is drawn while messages are pending
    case MessagePoll::none:
        break;
    }
    if (frame_timer_poll(false)) scene_dispatch();
    frame_begin();
    sprites_render();
    platform_sleep_ms(1);
    return true;
}

int app_main(int show_command) {
    if (!platform_window_class_register(handlers)) return 0;
    window_width = WINDOWED_WIDTH;
    window_height = WINDOWED_HEIGHT;
    const bool fullscreen = platform_ask_yes_no(WINDOW_TITLE, FULLSCREEN_QUESTION);
    int width = WINDOWED_WIDTH, height = WINDOWED_HEIGHT;
    if (fullscreen) platform_screen_size(&width, &height);
    platform_window_create(WINDOW_TITLE, fullscreen, width, height, show_command);
    if (!platform_gl_context_create()) fatal_error("", "SetPixelFormat");
    engine_init();
    frame_timer_poll(true);
    int exit_code = 0;
    while (main_loop_pass(&exit_code)) {
    }
    platform_teardown();
    return exit_code;
}
