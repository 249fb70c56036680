// Window and message seam: the one window, its GL 1.1 context, message polling and boxes.
// Implemented once per backend (sdl/, win32/, virtual/); everything runs on the main thread.
#pragma once
#include <cstdint>

// The app's message handlers. The backend calls them from platform_message_poll (and
// resize also from platform_window_create, as the system does while a window is created).
struct WindowHandlers {
    void (*resize)(int client_width, int client_height);
    void (*close)();
    void (*key_down)(int virtual_key);                 // Windows virtual-key codes on every backend
    void (*button_down)(int button, uint16_t px, uint16_t py); // 0 left, 1 right; client pixels
    void (*expose)();                                  // the window lost its picture: draw it again
    void (*turn)(int slot, int direction);             // a player's touch button: -1 left, +1 right
};

// Called by app_main first. False when the window class cannot be registered (on SDL: when
// there is no video driver or display to start with).
bool platform_window_class_register(const WindowHandlers& handlers);

enum class Answer { no, yes, not_shown };

// Called by app_main: Yes/No question without owner. not_shown when the system could not show it.
Answer platform_ask_yes_no(const char* caption, const char* text);

// Called by fatal_error: modal error box with a stop icon and OK, owned by the window if it exists.
void platform_error_box(const char* caption, const char* text);

// Called by app_main for the fullscreen size.
void platform_screen_size(int* width, int* height);

// Called by app_main. False when the system refuses the window (no window system resources, or
// on SDL no GL visual at all).
bool platform_window_create(const char* title, bool fullscreen, int width, int height, int show_command);

// Called by app_main. False when no pixel format / GL context could be set up.
bool platform_gl_context_create();

enum class MessagePoll { none, dispatched, quit };

// Called by main_loop_pass: takes at most one pending message and hands it to the handlers.
// On quit, *quit_code receives the code given to platform_quit_post.
MessagePoll platform_message_poll(int* quit_code);

// Called by the close handler and the game's quit paths.
void platform_quit_post(int code);

// Called by app_start and main_loop_pass whenever they change: the players who get turn buttons
// where the screen is touched (bit n: slot n; 0 outside play), and where the picture lies in
// client pixels. A press of one calls the turn handler. Backends without touch screens show none.
void platform_turn_buttons(uint32_t seats, int picture_left, int picture_top, int picture_width,
                           int picture_height);

// Called by the room's play when this machine is a room's controller, and again as that changes:
// the page then shows the line and, once seated (seat 0..3; -1 before, or watching), the two
// turn buttons of the machine's first control set in that seat's colour with its number, over
// the whole page and nothing of the picture. A null line takes the controller's page away.
// Backends without touch screens show nothing of it (the game's own line says it there).
void platform_controller_screen(int32_t seat, const char* line);

// Called by app_start when platform_gl_context_create failed: the error box's text. A desktop
// names the call that failed (GL_CONTEXT_FAILURE); a page says it in a player's words.
const char* platform_gl_failure_text();
constexpr const char* GL_CONTEXT_FAILURE = "SetPixelFormat";

// Called by main_loop_pass before it draws: false while the window is minimised or hidden.
bool platform_window_visible();

// Called by sprites_render at the end of every drawing pass.
void platform_swap_buffers();

// Called by app_main right after one of the calls above failed: the system's own words for why,
// one line, valid until the next call into the backend.
const char* platform_failure_reason();

// Called by program_shutdown: context released before the window is destroyed.
void platform_teardown();

// Ends the process at once with the given status, standard output and error flushed.
[[noreturn]] void platform_exit(int status);

// Show-command for a process started without one.
constexpr int SHOW_DEFAULT = 10;
