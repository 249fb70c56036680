// Checks of the Windows window seam against a real window system: a refused window, the class,
// the two window kinds, the pixel format and context, the window procedure's message table and the teardown.
// Built with the mingw-w64 compiler and run under wine on Xvfb; exit status 0 when all hold.
#include "platform/window.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int failures = 0;

void check(bool holds, const char* what) {
    std::printf("%s: %s\n", holds ? "ok  " : "FAIL", what);
    if (!holds) ++failures;
}

constexpr int QUIT_CODE = 7;
constexpr int MAX_POLLS = 100000;

struct Seen {
    int resizes = 0, client_width = -1, client_height = -1;
    int closes = 0;
    int key = 0;
    int buttons = 0, button[2] = {-1, -1};
    uint16_t px[2] = {}, py[2] = {};
} seen;

void on_resize(int w, int h) {
    ++seen.resizes;
    seen.client_width = w;
    seen.client_height = h;
}
void on_close() {
    ++seen.closes;
    platform_quit_post(QUIT_CODE);
}
void on_key(int vk) {
    seen.key = vk;
}
void on_button(int button, uint16_t px, uint16_t py) {
    if (seen.buttons < 2) {
        seen.button[seen.buttons] = button;
        seen.px[seen.buttons] = px;
        seen.py[seen.buttons] = py;
    }
    ++seen.buttons;
}

// Polls until the quit message; returns its code, or -1 when none came.
int poll_until_quit() {
    for (int i = 0; i < MAX_POLLS; ++i) {
        int code = -1;
        const MessagePoll got = platform_message_poll(&code);
        if (got == MessagePoll::quit) return code;
        if (got == MessagePoll::none) Sleep(1);
    }
    return -1;
}

HWND game_window() {
    return FindWindowA("zubclass", nullptr);
}

// Before the class exists the system refuses the window; the seam says so, with the system's words.
void check_refused_window() {
    check(!platform_window_create("Vorlump - Quibbet 2013", false, 1280, 720, SW_SHOWNORMAL),
          "a window of an unregistered class is refused");
    const char* reason = platform_failure_reason();
    std::printf("      reason: %s\n", reason);
    check(*reason != '\0' && std::strchr(reason, '\n') == nullptr && std::strchr(reason, '\r') == nullptr,
          "with a one-line reason");
    check(!platform_gl_context_create(), "and no context without a window");
}

// Creates the window; a refusal is a failure, told with the system's reason.
bool created(bool fullscreen, int width, int height) {
    const bool made =
        platform_window_create("Vorlump - Quibbet 2013", fullscreen, width, height, SW_SHOWNORMAL);
    check(made, fullscreen ? "the fullscreen window is created" : "the windowed window is created");
    if (!made) std::printf("      reason: %s\n", platform_failure_reason());
    return made;
}

void check_class() {
    const WindowHandlers handlers{on_resize, on_close, on_key, on_button, nullptr, nullptr};
    check(platform_window_class_register(handlers), "the class registers");
    check(!platform_window_class_register(handlers), "a second registration is refused");
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    // The device context is taken once and kept, which only a class of its own DC allows.
    check(GetClassInfoExA(GetModuleHandleA(nullptr), "zubclass", &info) != 0 && info.style == CS_OWNDC,
          "the class zubclass has a private device context");
}

void check_windowed() {
    if (!created(false, 1280, 720)) return;
    const HWND w = game_window();
    check(w != nullptr, "the windowed window exists");
    if (!w) return;
    char title[64] = {};
    GetWindowTextA(w, title, sizeof title);
    check(std::strcmp(title, "Vorlump - Quibbet 2013") == 0, "with the title");
    check((GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, "topmost");
    check((GetWindowLongA(w, GWL_STYLE) & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW && IsWindowVisible(w),
          "an overlapped window, shown with the show-command");
    RECT outer, client;
    GetWindowRect(w, &outer);
    GetClientRect(w, &client);
    check(outer.right - outer.left == 1280 && outer.bottom - outer.top == 720, "1280 x 720 outside");
    check(seen.resizes > 0 && seen.client_width == client.right && seen.client_height == client.bottom &&
              client.right < 1280 && client.bottom < 720,
          "the resize handler got the client size, inside the frame");

    check(platform_gl_context_create() && wglGetCurrentContext() != nullptr,
          "the pixel format is set and a GL context is current");

    // The window procedure's table, in the order the messages were posted.
    PostMessageA(w, WM_KEYDOWN, 'Q', 0);
    PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1119, 719));
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    PostMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(65535, 3)); // x left of the client area
    PostMessageA(w, WM_CLOSE, 0, 0);
    check(poll_until_quit() == QUIT_CODE, "close posts the quit message that ends polling, with its code");
    check(seen.key == 'Q', "a key press reaches the handler with its virtual-key code");
    check(seen.buttons == 2 && seen.button[0] == 0 && seen.px[0] == 1119 && seen.py[0] == 719,
          "a left press with its client position; moves and releases are not presses");
    check(seen.button[1] == 1 && seen.px[1] == 65535 && seen.py[1] == 3,
          "a right press, positions as unsigned 16 bits");
    check(seen.closes == 1 && IsWindow(w), "close does not destroy the window");

    platform_teardown();
    check(wglGetCurrentContext() == nullptr && !IsWindow(w), "teardown releases the context and the window");
    // Destroying the window is no request to quit: nothing but ordinary messages is left.
    int code = -1;
    bool quit = false;
    for (int i = 0; i < 1000; ++i)
        quit = quit || platform_message_poll(&code) == MessagePoll::quit;
    check(!quit, "no quit message after the window is destroyed");
}

void check_fullscreen() {
    int width = 0, height = 0;
    platform_screen_size(&width, &height);
    if (!created(true, width, height)) return;
    const HWND w = game_window();
    check(w != nullptr, "the fullscreen window exists");
    if (!w) return;
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    check((style & WS_POPUP) && !(style & WS_CAPTION) && (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST),
          "a topmost popup without a caption");
    RECT outer;
    GetWindowRect(w, &outer);
    check(outer.right - outer.left == width && outer.bottom - outer.top == height, "covering the screen");
    check(seen.client_width == width && seen.client_height == height, "its client size reached the handler");
    platform_teardown();
}

} // namespace

int main() {
    check_refused_window();
    check_class();
    check_windowed();
    check_fullscreen();
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
