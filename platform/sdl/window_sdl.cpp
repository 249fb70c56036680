// The window seam on SDL2: one window with an OpenGL 1.1 compatibility context, SDL events
// taken one per pass and handed to the app's handlers as the Windows messages would be.
#include "key_map_sdl.h"
#include "pads_sdl.h"
#include "platform/window.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

namespace {

WindowHandlers handlers{};
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
Uint32 quit_event = 0;
constexpr int SLOWEST_SYNCED_REFRESH_HZ = 40;

} // namespace

bool platform_window_class_register(const WindowHandlers& h) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    quit_event = SDL_RegisterEvents(1);
    if (quit_event == static_cast<Uint32>(-1)) return false;
    handlers = h;
    pads_sdl_start();
    return true;
}

bool platform_ask_yes_no(const char* caption, const char* text) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
    };
    const SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, nullptr, caption, text, 2, buttons, nullptr};
    int answer = 0;
    if (SDL_ShowMessageBox(&box, &answer) != 0) return false;
    return answer == 1;
}

void platform_error_box(const char* caption, const char* text) {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, window) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text); // no display to show it on
}

void platform_screen_size(int* width, int* height) {
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) mode.w = 1280, mode.h = 720;
    *width = mode.w;
    *height = mode.h;
}

void platform_window_create(const char* title, bool fullscreen, int width, int height, int show_command) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    const Uint32 mode = fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_ALWAYS_ON_TOP | mode);
    if (!window) return; // shows up as a missing window, as on Windows
    if (show_command != 0) SDL_ShowWindow(window);
    int client_width = 0, client_height = 0;
    SDL_GetWindowSize(window, &client_width, &client_height);
    if (handlers.resize) handlers.resize(client_width, client_height);
}

namespace {

// The main loop draws on every idle pass; with the swap waiting for the display's refresh it
// draws as often as a real display shows a picture instead of hundreds of times a second.
// Adaptive where the driver offers it (a late frame is shown at once rather than a refresh
// later). Not on a display slower than the game's 40 ticks a second: the loop runs at most one
// tick per drawn pass, so the game itself would slow down.
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
    if (!window) return true; // nothing to draw on; the window's absence is the symptom
    context = SDL_GL_CreateContext(window);
    if (!context) return false;
    SDL_GL_MakeCurrent(window, context);
    vertical_sync_request();
    return true;
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
        if (e.window.event == SDL_WINDOWEVENT_CLOSE && handlers.close) handlers.close();
        break;
    case SDL_KEYDOWN: {
        // Alt combinations and F10 belong to the system, as they do on Windows.
        if ((e.key.keysym.mod & KMOD_ALT) || e.key.keysym.sym == SDLK_F10) break;
        const int vk = sdl_key_to_virtual_key(e.key.keysym.sym);
        if (vk && handlers.key_down) handlers.key_down(vk);
        break;
    }
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
