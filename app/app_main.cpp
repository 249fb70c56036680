#include "app/app.h"

#include "app/frame_timer.h"
#include "app/room_banner.h"
#include "app/room_play.h"
#include "app/replay_watch.h"
#include "app/viewport.h"
#include "audio/sfx.h"
#include "engine/fatal_hook.h"
#include "engine/input_events.h"
#include "engine/sprite_renderer.h"
#include "game/players.h"
#include "game/rounds.h"
#include "game/settings.h"
#include "game/shutdown.h"
#include "online/replay_playback.h"
#include "platform/clock.h"
#include "platform/pad_slots.h"
#include "platform/window.h"

#include <algorithm>
#include <cstdio>

namespace {

// Long enough for any system's reason; a longer one is cut, never overrun.
constexpr int FAILURE_TEXT_CAPACITY = 512;

// Pads that a backend reads by polling their state would miss a tap shorter than the wait, so the
// loop looks at its messages this often even when no tick is due; a look costs next to nothing.
constexpr int INPUT_POLL_MS = 8;

// The picture only changes when a tick ran or the window lost what it showed.
bool picture_stale = true;

// The touch buttons follow who is playing and where the picture lies.
uint32_t turn_button_seats = 0;
bool turn_buttons_stale = true;

void turn_buttons_refresh() {
    const uint32_t seats = people_in_play();
    if (seats == turn_button_seats && !turn_buttons_stale) return;
    turn_button_seats = seats;
    turn_buttons_stale = false;
    platform_turn_buttons(seats, viewport.left, viewport.top, viewport.width, viewport.height);
}

void on_resize(int client_width, int client_height) {
    window_width = client_width;
    window_height = client_height;
    viewport_update();
    picture_stale = true;
    turn_buttons_stale = true;
}

void on_expose() {
    picture_stale = true;
}

// Closing only asks the loop to end; the window goes at teardown.
void on_close() {
    platform_quit_post(0);
}

void on_key_down(int virtual_key) {
    room_play_pressed();
    event_key_down(virtual_key);
}

void on_button_down(int button, uint16_t px, uint16_t py) {
    const ClickArea area{viewport.left,   viewport.top,  viewport.width,
                         viewport.height, virtual_width, virtual_height};
    int32_t x = 0, y = 0;
    if (click_point(px, py, area, &x, &y) && room_play_click(x, y)) return; // the online button's own
    room_play_pressed();
    event_button_down(button, px, py, area);
}

// A touch button sends the press of that player's own control, so the turn rule and everything
// else sees nothing new; the mouse player's click lands where a pad's does, outside every menu area.
void on_turn(int slot, int direction) {
    const PlayerControl* control = player_control_of(slot, direction);
    if (!control) return;
    if (control->kind == EVENT_KEY)
        event_key_down(control->code);
    else
        on_button_down(control->code, PAD_CLICK_OUTSIDE, PAD_CLICK_OUTSIDE);
}

constexpr WindowHandlers handlers{on_resize, on_close, on_key_down, on_button_down, on_expose, on_turn};

} // namespace

bool main_loop_pass(int* exit_code, int* idle_ms) {
    *idle_ms = 0; // more messages may be pending
    switch (platform_message_poll(exit_code)) {
    case MessagePoll::quit:
        return false;
    case MessagePoll::dispatched:
        return true; // nothing is drawn while messages are pending
    case MessagePoll::none:
        break;
    }
    tick_speed = room_play_active() ? 1 : gameplay_speed(); // a room keeps the server's pace
    if (frame_timer_poll(false)) {
        if (!room_play_tick()) app_tick();
        // Between ticks, never inside one; a replay's choices are not the player's to keep (nor
        // a room's, which the settings hold while it lives).
        if (!replay_playback_active()) settings_keep();
        picture_stale = true;
        turn_buttons_refresh();
    }
    // A pass with more ticks due after its own replays them first: drawing (and a swap held by
    // vertical sync) in between would let the game fall behind the clock for good. A window that
    // cannot be seen is not drawn at all; it would only throttle the swaps.
    *idle_ms = frame_timer_ms_until_due();
    if (picture_stale && *idle_ms > 0 && platform_window_visible()) {
        frame_begin();
        const int32_t banner_first = banner_draw_begin();
        room_play_draw();
        sprites_render(room_play_controller() ? banner_first : 0); // a controller shows no game
        banner_draw_end();
        room_play_drawn();
        picture_stale = false;
        *idle_ms = frame_timer_ms_until_due(); // the swap took its time
    } else {
        sfx_pump();
    }
    return true;
}

bool app_start(int show_command) {
    // The failures before the window exists go to standard error: there is nowhere else to say
    // them, and a silent end or a silent windowed start looks like a choice.
    if (replay_requested && !replay_watch_load()) return false;
    if (!platform_window_class_register(handlers)) {
        std::fprintf(stderr, "quibbet: cannot open a window: %s\n", platform_failure_reason());
        return false;
    }
    window_width = WINDOWED_WIDTH;
    window_height = WINDOWED_HEIGHT;
    const Answer answer = platform_ask_yes_no(WINDOW_TITLE, FULLSCREEN_QUESTION);
    if (answer == Answer::not_shown)
        std::fprintf(stderr,
                     "quibbet: the fullscreen question could not be shown (%s); playing in a window\n",
                     platform_failure_reason());
    const bool fullscreen = answer == Answer::yes;
    int width = WINDOWED_WIDTH, height = WINDOWED_HEIGHT;
    if (fullscreen) platform_screen_size(&width, &height);
    if (!platform_window_create(WINDOW_TITLE, fullscreen, width, height, show_command)) {
        // Without a window nothing could ever end the loop.
        static char text[FAILURE_TEXT_CAPACITY];
        std::snprintf(text, sizeof text, "CreateWindow: %s", platform_failure_reason());
        fatal_error("", text);
    }
    if (!platform_gl_context_create()) fatal_error("", platform_gl_failure_text());
    if (replay_requested) first_scene = "gameplay"; // the recorded game starts from the menu
    engine_init();
    if (replay_requested) replay_watch_start();
    room_play_start();
    turn_buttons_stale = true;
    turn_buttons_refresh();
    frame_timer_poll(true);
    return true;
}

bool app_frame(int* exit_code) {
    int idle_ms = 0;
    const int64_t began = platform_clock_ms();
    while (platform_clock_ms() - began < FRAME_CATCH_UP_MS) {
        if (!main_loop_pass(exit_code, &idle_ms)) {
            replay_watch_restore();
            program_shutdown();
            return false;
        }
        if (idle_ms > 0) break; // caught up, and drawn if the picture changed
    }
    return true;
}

int app_main(int show_command) {
    if (!app_start(show_command)) return FATAL_STATUS;
    int exit_code = 0, idle_ms = 0;
    while (main_loop_pass(&exit_code, &idle_ms))
        if (idle_ms > 0) platform_sleep_ms(std::min(idle_ms, INPUT_POLL_MS));
    replay_watch_restore();
    program_shutdown();
    return exit_code;
}
