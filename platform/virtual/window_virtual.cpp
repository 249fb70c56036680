// The virtual backend's window: a scripted message queue and recorded boxes.
#include "platform/pad_slots.h"
#include "platform/window.h"
#include "virtual_gl.h"
#include "virtual_net.h"
#include "virtual_platform.h"

#include <deque>

namespace {

enum class Kind { resize, expose, close, key, button, pad_connect, pad_disconnect, pad_buttons, turn, quit };

struct Message {
    Kind kind;
    int a = 0, b = 0, c = 0;
};

VirtualPlatform state;
WindowHandlers handlers{};
std::deque<Message> queue;

} // namespace

VirtualPlatform& virtual_platform() { return state; }

void virtual_platform_reset() {
    state = VirtualPlatform{};
    handlers = WindowHandlers{};
    queue.clear();
    pads_reset();
    virtual_gl_reset();
    virtual_net_reset();
    virtual_clock_reset();
}

void virtual_post_resize(int w, int h) { queue.push_back({Kind::resize, w, h}); }
void virtual_post_expose() { queue.push_back({Kind::expose}); }
void virtual_post_close() { queue.push_back({Kind::close}); }
void virtual_post_key(int vk) { queue.push_back({Kind::key, vk}); }
void virtual_post_button(int button, uint16_t px, uint16_t py) { queue.push_back({Kind::button, button, px, py}); }
void virtual_post_turn(int slot, int direction) { queue.push_back({Kind::turn, slot, direction}); }
int virtual_pending_messages() { return static_cast<int>(queue.size()); }
void virtual_post_pad_connect(int32_t device) { queue.push_back({Kind::pad_connect, device}); }
void virtual_post_pad_disconnect(int32_t device) { queue.push_back({Kind::pad_disconnect, device}); }
void virtual_post_pad_buttons(int32_t device, uint32_t held) {
    queue.push_back({Kind::pad_buttons, device, static_cast<int>(held)});
}

bool platform_window_class_register(const WindowHandlers& h) {
    if (state.fail_class_register) return false;
    handlers = h;
    state.window.class_registered = true;
    return true;
}

Answer platform_ask_yes_no(const char* caption, const char* text) {
    state.questions.push_back({caption, text, false});
    if (state.fail_question) return Answer::not_shown;
    return state.answer_yes ? Answer::yes : Answer::no;
}

void platform_error_box(const char* caption, const char* text) {
    state.error_boxes.push_back({caption, text, state.window.created});
}

void platform_screen_size(int* width, int* height) {
    *width = state.screen_width;
    *height = state.screen_height;
}

bool platform_window_create(const char* title, bool fullscreen, int width, int height, int show_command) {
    if (state.fail_window) return false;
    state.window.created = true;
    state.window.title = title;
    state.window.fullscreen = fullscreen;
    state.window.width = width;
    state.window.height = height;
    state.window.show_command = show_command;
    // A windowed frame takes a border and a caption off the outer size, as the system does.
    const int client_width = fullscreen ? width : width - 16;
    const int client_height = fullscreen ? height : height - 39;
    if (handlers.resize) handlers.resize(client_width, client_height);
    return true;
}

bool platform_gl_context_create() {
    if (state.fail_gl_context) return false;
    state.window.context = true;
    return true;
}

const char* platform_gl_failure_text() {
    return GL_CONTEXT_FAILURE;
}

const char* platform_failure_reason() {
    return state.failure_reason.c_str();
}

MessagePoll platform_message_poll(int* quit_code) {
    if (queue.empty()) return MessagePoll::none;
    const Message m = queue.front();
    queue.pop_front();
    switch (m.kind) {
    case Kind::quit:
        *quit_code = m.a;
        return MessagePoll::quit;
    case Kind::resize:
        if (handlers.resize) handlers.resize(m.a, m.b);
        break;
    case Kind::expose:
        if (handlers.expose) handlers.expose();
        break;
    case Kind::close:
        if (handlers.close) handlers.close();
        break;
    case Kind::key:
        if (handlers.key_down) handlers.key_down(m.a);
        break;
    case Kind::button:
        if (handlers.button_down)
            handlers.button_down(m.a, static_cast<uint16_t>(m.b), static_cast<uint16_t>(m.c));
        break;
    case Kind::pad_connect:
        pad_connect(m.a);
        break;
    case Kind::pad_disconnect:
        pad_disconnect(m.a);
        break;
    case Kind::pad_buttons:
        pad_buttons(m.a, PAD_ALL_BUTTONS, static_cast<uint32_t>(m.b), state.background ? nullptr : &handlers);
        break;
    case Kind::turn:
        if (handlers.turn) handlers.turn(m.a, m.b);
        break;
    }
    return MessagePoll::dispatched;
}

void platform_quit_post(int code) { queue.push_back({Kind::quit, code}); }

// Tests press the turn buttons with virtual_post_turn; there is no screen to show them on.
void platform_turn_buttons(uint32_t, int, int, int, int) {}

void platform_controller_screen(int32_t, const char*) {}

bool platform_window_visible() { return !state.minimised; }

void platform_swap_buffers() { ++state.swap_count; }

void platform_teardown() {
    state.window.context = false;
    state.window.torn_down = true;
}

void platform_exit(int status) { throw VirtualExit{status}; }
