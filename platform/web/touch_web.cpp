// Touch screens in a browser page. The page counts as a touch screen when its pointer is coarse
// or a finger has touched it (the page itself tells). Then the players in play get their turn
// buttons and every game the Escape button, drawn by the page over the canvas where
// touch_layout puts them. Each finger acts once, when it goes down, on what lies under it: a
// button presses, anywhere else is the left click it stands for (outside play; in play a
// stray finger on the picture turns nobody). A finger that slides on presses nothing more.
// A room's controller shows its own page instead (touch_controller_layout): a line and, once
// seated, its pair over everything, whatever the pointer; a finger elsewhere does nothing.
#include "platform/touch_layout.h"
#include "platform/window.h"
#include "web_page.h"

#include <emscripten.h>
#include <emscripten/html5.h>

namespace {

constexpr const char* CANVAS = "#canvas";
constexpr int KEY_ESCAPE = 27;

struct Touch {
    bool screen;
    bool controller;
    int32_t controller_seat; // -1 until seated
    uint32_t seats;
    TouchRect picture; // CSS pixels
    TouchLayout layout;
};
Touch touch{};

// The page's touch layer (quibbet.html): buttons in the players' colours, numbered, and turned
// for a pair that faces the far side.
// The JavaScript inside is not C++.
// clang-format off
EM_JS(int, page_touch_screen, (), { return Module.quibbetPage && Module.quibbetPage.touchScreen() ? 1 : 0; });
EM_JS(void, page_touch_clear, (), { document.getElementById("touch").replaceChildren(); });
EM_JS(void, page_touch_button, (const char* kind, int seat, float x, float y, float width, float height,
                                int upside_down), {
    const button = document.createElement("div");
    const what = UTF8ToString(kind);
    button.className = "touch-button " + what + (seat >= 0 ? " seat" + (seat + 1) : "");
    // A tall button (a controller's upright) has room for its arrow above a big number.
    const number = String(seat + 1), tall = height >= 2 * width;
    const arrow = what === "left" ? "\u21ba" : "\u21bb";
    button.textContent = what === "escape" ? "Esc" : tall ? arrow + "\n" + number
                       : what === "left" ? arrow + " " + number : number + " " + arrow;
    Object.assign(button.style, { left: x + "px", top: y + "px", width: width + "px", height: height + "px",
                                  fontSize: Math.round(tall ? width * 0.5 : Math.min(width, height) * 0.36) + "px",
                                  whiteSpace: "pre", lineHeight: tall ? "1.2" : "",
                                  transform: upside_down ? "rotate(180deg)" : "" });
    document.getElementById("touch").appendChild(button);
});
// The controller's page under the buttons: its line over black, or gone (a null line).
EM_JS(void, page_controller_line, (const char* line), {
    const page = document.getElementById("controller-page");
    page.hidden = !line;
    document.documentElement.classList.toggle("controlling", !!line);
    document.getElementById("controller-line").textContent = line ? UTF8ToString(line) : "";
});
// Who is in play, for anything on the page that follows the game (a test waits on it).
EM_JS(void, page_seats_in_play, (uint32_t seats), { document.getElementById("touch").dataset.seats = seats; });
// clang-format on

void relayout() {
    double css_width = 0, css_height = 0;
    emscripten_get_element_css_size(CANVAS, &css_width, &css_height);
    const auto width = static_cast<float>(css_width), height = static_cast<float>(css_height);
    touch.layout = !touch.controller           ? touch_layout(width, height, touch.picture, touch.seats)
                   : touch.controller_seat >= 0 ? touch_controller_layout(width, height, touch.controller_seat)
                                                : TouchLayout{};
    page_touch_clear();
    if (!touch.screen && !touch.controller) return;
    for (int32_t i = 0; i < touch.layout.count; ++i) {
        const TurnButton& b = touch.layout.buttons[i];
        page_touch_button(b.direction < 0 ? "left" : "right", b.seat, b.rect.x, b.rect.y, b.rect.width,
                          b.rect.height, b.upside_down);
    }
    const TouchRect& escape = touch.layout.escape;
    if (!touch.controller) page_touch_button("escape", -1, escape.x, escape.y, escape.width, escape.height, false);
}

EM_BOOL on_touch_start(int, const EmscriptenTouchEvent* e, void*) {
    if (!touch.screen) {
        touch.screen = true;
        relayout();
    }
    const double ratio = emscripten_get_device_pixel_ratio();
    for (int i = 0; i < e->numTouches; ++i) {
        const EmscriptenTouchPoint& finger = e->touches[i];
        if (!finger.isChanged) continue; // down before this event: it has acted already
        const auto x = static_cast<float>(finger.targetX), y = static_cast<float>(finger.targetY);
        const int32_t target = touch_target(touch.layout, x, y);
        if (target >= 0) {
            const TurnButton& b = touch.layout.buttons[target];
            web_post_turn(b.slot, b.direction);
        } else if (target == TOUCH_ESCAPE) {
            web_post_key(KEY_ESCAPE);
        } else if (touch.seats == 0 && !touch.controller) {
            web_post_click(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
        }
    }
    return EM_TRUE; // no click made up from the finger, no scrolling, no zoom
}

} // namespace

void web_touch_register() {
    touch.screen = page_touch_screen() != 0;
    emscripten_set_touchstart_callback(CANVAS, nullptr, EM_TRUE, on_touch_start);
    relayout();
}

void platform_turn_buttons(uint32_t seats, int left, int top, int width, int height) {
    const auto ratio = static_cast<float>(emscripten_get_device_pixel_ratio());
    touch.seats = seats;
    page_seats_in_play(seats);
    touch.picture = {static_cast<float>(left) / ratio, static_cast<float>(top) / ratio,
                     static_cast<float>(width) / ratio, static_cast<float>(height) / ratio};
    relayout();
}

void platform_controller_screen(int32_t seat, const char* line) {
    touch.controller = line != nullptr;
    touch.controller_seat = seat;
    page_controller_line(line);
    relayout();
}
