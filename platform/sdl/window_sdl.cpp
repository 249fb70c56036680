// The window seam on SDL2: one window with an OpenGL 1.1 compatibility context, SDL events
// taken one per pass and handed to the app's handlers as the Windows messages would be.
#include "key_map_sdl.h"
#include "pads_sdl.h"
#include "platform/window.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

WindowHandlers handlers{};
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
Uint32 quit_event = 0;
bool latin_layout = true; // taken again whenever the player switches layouts
constexpr int SLOWEST_SYNCED_REFRESH_HZ = 40;

// Wanted first; when the display has no such visual, any GL visual will do, as the system picks
// the closest format on Windows: the game never tests depth nor reads the window's alpha.
struct VisualBits {
    int alpha, depth;
};
constexpr VisualBits WANTED_VISUAL{8, 24}, ANY_VISUAL{0, 0};

// Without a display SDL falls back to drivers that draw nowhere; the game would run unseen, with
// nothing to close it. Such a driver is only taken when asked for by name.
bool draws_nowhere(const char* driver) {
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

SDL_Window* window_open(const char* title, Uint32 mode, int width, int height, VisualBits bits) {
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, bits.alpha);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, bits.depth);
    return SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_ALWAYS_ON_TOP | mode);
}

} // namespace

bool platform_window_class_register(const WindowHandlers& h) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    if (!SDL_getenv("SDL_VIDEODRIVER") && draws_nowhere(SDL_GetCurrentVideoDriver())) {
        SDL_SetError("no display to open a window on (neither X11 nor Wayland answers)");
        return false;
    }
    quit_event = SDL_RegisterEvents(1);
    if (quit_event == static_cast<Uint32>(-1)) return false;
    handlers = h;
    latin_layout = layout_gives_latin_letters(SDL_GetKeyFromScancode);
    pads_sdl_start();
    return true;
}

Answer platform_ask_yes_no(const char* caption, const char* text) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
    };
    const SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, nullptr, caption, text, 2, buttons, nullptr};
    int answer = 0;
    if (SDL_ShowMessageBox(&box, &answer) != 0) return Answer::not_shown; // e.g. no fonts on the X server
    return answer == 1 ? Answer::yes : Answer::no;
}

void platform_error_box(const char* caption, const char* text) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, window); // fatal_error has logged it
}

void platform_screen_size(int* width, int* height) {
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) mode.w = 1280, mode.h = 720;
    *width = mode.w;
    *height = mode.h;
}

bool platform_window_create(const char* title, bool fullscreen, int width, int height, int show_command) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    const Uint32 mode = fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    window = window_open(title, mode, width, height, WANTED_VISUAL);
    if (!window) window = window_open(title, mode, width, height, ANY_VISUAL);
    if (!window) return false;
    if (show_command != 0) SDL_ShowWindow(window);
    int client_width = 0, client_height = 0;
    SDL_GetWindowSize(window, &client_width, &client_height);
    if (handlers.resize) handlers.resize(client_width, client_height);
    return true;
}

namespace {

// The main loop draws at most once a tick; with the swap waiting for the display's refresh it
// never draws faster than a real display shows a picture. Adaptive where the driver offers it
// (a late frame is shown at once rather than a refresh later). Not on a display slower than the
// game's 40 ticks a second: every swap there would outlast a tick, and every other tick would
// go undrawn.
void vertical_sync_request() {
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate != 0 &&
        mode.refresh_rate < SLOWEST_SYNCED_REFRESH_HZ)
        return;
    if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
}

} // namespace

bool platform_gl_context_create() {
    if (!window) return false;
    context = SDL_GL_CreateContext(window);
    if (!context) return false;
    SDL_GL_MakeCurrent(window, context);
    vertical_sync_request();
    return true;
}

const char* platform_gl_failure_text() {
    return GL_CONTEXT_FAILURE;
}

const char* platform_failure_reason() {
    return SDL_GetError();
}

MessagePoll platform_message_poll(int* quit_code) {
    SDL_Event e;
    if (!SDL_PollEvent(&e)) {
        pads_sdl_idle();
        return MessagePoll::none;
    }
    if (e.type == quit_event) {
        *quit_code = e.user.code;
        return MessagePoll::quit;
    }
    switch (e.type) {
    case SDL_QUIT:
        if (handlers.close) handlers.close();
        break;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && handlers.resize)
            handlers.resize(e.window.data1, e.window.data2);
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED && handlers.expose) handlers.expose();
        if (e.window.event == SDL_WINDOWEVENT_CLOSE && handlers.close) handlers.close();
        break;
    case SDL_KEYDOWN: {
        // Alt combinations and F10 belong to the system, as they do on Windows.
        if ((e.key.keysym.mod & KMOD_ALT) || e.key.keysym.sym == SDLK_F10) break;
        if (handlers.key_down)
            handlers.key_down(sdl_key_to_virtual_key(e.key.keysym.sym, e.key.keysym.scancode, latin_layout));
        break;
    }
    case SDL_KEYMAPCHANGED:
        latin_layout = layout_gives_latin_letters(SDL_GetKeyFromScancode);
        break;
    case SDL_MOUSEBUTTONDOWN: {
        const int button = e.button.button == SDL_BUTTON_LEFT ? 0 : e.button.button == SDL_BUTTON_RIGHT ? 1 : -1;
        if (button >= 0 && handlers.button_down)
            handlers.button_down(button, static_cast<uint16_t>(e.button.x), static_cast<uint16_t>(e.button.y));
        break;
    }
    default:
        pads_sdl_event(e, handlers);
        break;
    }
    return MessagePoll::dispatched;
}

void platform_quit_post(int code) {
    SDL_Event e{};
    e.type = quit_event;
    e.user.code = code;
    SDL_PushEvent(&e);
}

// A desktop window is played with keys, the mouse and pads: no buttons on the screen.
void platform_turn_buttons(uint32_t, int, int, int, int) {}

void platform_controller_screen(int32_t, const char*) {}

bool platform_window_visible() {
    return window && (SDL_GetWindowFlags(window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

void platform_swap_buffers() {
    if (window) SDL_GL_SwapWindow(window);
}

void platform_teardown() {
    if (window) SDL_GL_MakeCurrent(window, nullptr);
    if (context) SDL_GL_DeleteContext(context);
    if (window) SDL_DestroyWindow(window);
    context = nullptr;
    window = nullptr;
}

void platform_exit(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status); // at once, like the system's process exit: no destructors behind running threads
}
