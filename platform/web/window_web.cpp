// The window seam in a browser page: the one window is the page's canvas, which fills the page;
// the game's own letterbox keeps 640 x 480 inside it at any page size. The page's events are
// queued as they come and handed to the app's handlers one per poll, as the system's messages
// are on the desktop. The fullscreen question is asked by the page before the program starts,
// because the click that answers it must also start the sound (browsers allow sound only after
// a gesture) and ask for fullscreen (allowed only inside one).
#include "key_map_web.h"
#include "platform/window.h"
#include "web_page.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <array>
#include <cmath>

namespace {

constexpr const char* CANVAS = "#canvas";
constexpr int QUEUE_CAPACITY = 256; // far above what a page delivers between two frames

enum class Kind { resize, key, button, turn, quit };

struct Message {
    Kind kind;
    int a, b, c;
};

struct Page {
    WindowHandlers handlers;
    std::array<Message, QUEUE_CAPACITY> queue;
    int head, count;
    bool focused;
    bool latin_layout; // as on the desktop: until the page learns otherwise
    const char* failure;
};
Page page{{}, {}, 0, 0, true, true, ""};

void push(Message m) {
    if (page.count == QUEUE_CAPACITY) return; // lost, as a full system queue loses it
    page.queue[(page.head + page.count) % QUEUE_CAPACITY] = m;
    ++page.count;
}

// The canvas's drawing buffer follows its size on the page in device pixels, so the picture is
// as sharp as the display.
void canvas_fit(int* width, int* height) {
    double css_width = 0, css_height = 0;
    emscripten_get_element_css_size(CANVAS, &css_width, &css_height);
    const double ratio = emscripten_get_device_pixel_ratio();
    *width = static_cast<int>(std::lround(css_width * ratio));
    *height = static_cast<int>(std::lround(css_height * ratio));
    emscripten_set_canvas_element_size(CANVAS, *width, *height);
}

EM_BOOL on_resize(int, const EmscriptenUiEvent*, void*) {
    int width = 0, height = 0;
    canvas_fit(&width, &height);
    push({Kind::resize, width, height, 0});
    return EM_FALSE;
}

bool function_key(const char* key) {
    return key[0] == 'F' && key[1] >= '1' && key[1] <= '9';
}

// The JavaScript inside is not C++.
// clang-format off
// The browser's layout map, where it has one (answered later): whether any of the 26 letter keys
// gives a Latin letter. Asked at the start, on focus and after each press, as the player may
// switch layouts at any time.
EM_JS(void, page_layout_ask, (), {
    if (!navigator.keyboard || !navigator.keyboard.getLayoutMap) return;
    navigator.keyboard.getLayoutMap().then((map) => {
        let latin = false;
        map.forEach((key, code) => { latin = latin || (/^Key[A-Z]$/.test(code) && /^[a-z]$/i.test(key)); });
        Module._web_layout_latin(latin ? 1 : 0);
    }, () => {});
});
// clang-format on

EM_BOOL on_key_down(int, const EmscriptenKeyboardEvent* e, void*) {
    // Alt combinations and F10 belong to the system, as they do on Windows; the page leaves the
    // browser's own shortcuts (with Ctrl or Cmd, and the function keys) to the browser.
    if (e->altKey || (e->key[0] == 'F' && e->key[1] == '1' && e->key[2] == '0' && e->key[3] == 0))
        return EM_FALSE;
    // Only a page with focus gets keys.
    page.latin_layout = web_layout_seen(e->key, e->code, page.latin_layout);
    push({Kind::key, web_key_to_virtual_key(e->key, e->code, page.latin_layout), 0, 0});
    page_layout_ask();
    return e->ctrlKey || e->metaKey || function_key(e->key) ? EM_FALSE : EM_TRUE;
}

EM_BOOL on_mouse_down(int, const EmscriptenMouseEvent* e, void*) {
    const int button = e->button == 0 ? 0 : e->button == 2 ? 1 : -1;
    if (button < 0) return EM_FALSE; // the click that gives the page focus counts, as on the desktop
    const double ratio = emscripten_get_device_pixel_ratio();
    const auto px = static_cast<int>(e->targetX * ratio), py = static_cast<int>(e->targetY * ratio);
    push({Kind::button, button, px, py});
    return EM_TRUE;
}

EM_BOOL on_focus(int type, const EmscriptenFocusEvent*, void*) {
    page.focused = type == EMSCRIPTEN_EVENT_FOCUS;
    if (page.focused) page_layout_ask();
    return EM_FALSE;
}

EM_BOOL on_visibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    if (e->hidden) page.focused = false;
    return EM_FALSE;
}

} // namespace

void web_post_key(int virtual_key) {
    push({Kind::key, virtual_key, 0, 0});
}

void web_post_click(int px, int py) {
    push({Kind::button, 0, px, py});
}

void web_post_turn(int slot, int direction) {
    push({Kind::turn, slot, direction, 0});
}

namespace {

// The page's parts, written in the page itself (quibbet.html).
// The JavaScript inside is not C++.
// clang-format off
EM_JS(int, page_answer, (), { return Module.quibbetPage ? Module.quibbetPage.answer() : -1; });
EM_JS(void, page_error, (const char* caption, const char* text), {
    if (Module.quibbetPage) Module.quibbetPage.error(UTF8ToString(caption), UTF8ToString(text));
});
EM_JS(void, page_ended, (int status), {
    if (Module.quibbetPage) Module.quibbetPage.ended(status);
});
EM_JS(void, page_first_frame, (), {
    if (Module.quibbetPage) Module.quibbetPage.firstFrame();
});
EM_JS(void, page_title, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, page_screen_size, (int* width, int* height), {
    const ratio = window.devicePixelRatio || 1;
    HEAP32[width >> 2] = Math.round(screen.width * ratio);
    HEAP32[height >> 2] = Math.round(screen.height * ratio);
});
// clang-format on

} // namespace

// Called by the page (page_layout_ask's answer).
extern "C" EMSCRIPTEN_KEEPALIVE void web_layout_latin(int latin) {
    page.latin_layout = latin != 0;
}

bool platform_window_class_register(const WindowHandlers& handlers) {
    page.handlers = handlers;
    const EMSCRIPTEN_RESULT canvas =
        emscripten_set_mousedown_callback(CANVAS, nullptr, EM_TRUE, on_mouse_down);
    if (canvas != EMSCRIPTEN_RESULT_SUCCESS) {
        page.failure = "the page has no canvas to draw on";
        return false;
    }
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, on_key_down);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_resize);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_focus);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_focus);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, on_visibility);
    page_layout_ask();
    web_touch_register();
    return true;
}

Answer platform_ask_yes_no(const char*, const char*) {
    const int answer = page_answer();
    return answer < 0 ? Answer::not_shown : answer ? Answer::yes : Answer::no;
}

void platform_error_box(const char* caption, const char* text) {
    page_error(caption, text);
}

void platform_screen_size(int* width, int* height) {
    page_screen_size(width, height);
}

// The page asked for fullscreen in the click that answered Yes; the canvas fills whatever the
// page becomes, and the resize that follows reaches the game like any other.
bool platform_window_create(const char* title, bool, int, int, int) {
    page_title(title);
    int width = 0, height = 0;
    canvas_fit(&width, &height);
    if (page.handlers.resize) page.handlers.resize(width, height);
    return true;
}

bool platform_gl_context_create() {
    return web_gl_open();
}

const char* platform_gl_failure_text() {
    return "The browser could not start WebGL, which the game draws with: turn on the browser's "
           "hardware acceleration, or try another browser.";
}

const char* platform_failure_reason() {
    return page.failure;
}

MessagePoll platform_message_poll(int* quit_code) {
    if (page.count == 0) {
        web_pads_poll(page.focused ? &page.handlers : nullptr);
        return MessagePoll::none;
    }
    const Message m = page.queue[page.head];
    page.head = (page.head + 1) % QUEUE_CAPACITY;
    --page.count;
    const WindowHandlers& h = page.handlers;
    switch (m.kind) {
    case Kind::quit:
        *quit_code = m.a;
        return MessagePoll::quit;
    case Kind::resize:
        if (h.resize) h.resize(m.a, m.b);
        break;
    case Kind::key:
        if (h.key_down) h.key_down(m.a);
        break;
    case Kind::button:
        if (h.button_down) h.button_down(m.a, static_cast<uint16_t>(m.b), static_cast<uint16_t>(m.c));
        break;
    case Kind::turn:
        if (h.turn) h.turn(m.a, m.b);
        break;
    }
    return MessagePoll::dispatched;
}

void platform_quit_post(int code) {
    push({Kind::quit, code, 0, 0});
}

// A hidden page is not drawn (the browser then stops calling the frame callback anyway).
bool platform_window_visible() {
    EmscriptenVisibilityChangeEvent state{};
    return emscripten_get_visibility_status(&state) != EMSCRIPTEN_RESULT_SUCCESS || !state.hidden;
}

// The browser shows the frame when the page's frame callback returns.
void platform_swap_buffers() {
    static bool shown = false;
    if (!shown) page_first_frame();
    shown = true;
}

// The WebGL context lives and goes with the page's canvas.
void platform_teardown() {}

// A page cannot end its tab: the page says that the game has ended (with the error that ended
// it, if any), its sound stops, and the runtime unwinds.
void platform_exit(int status) {
    page_ended(status);
    emscripten_cancel_main_loop();
    emscripten_force_exit(status);
}
