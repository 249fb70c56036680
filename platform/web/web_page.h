// What the browser backend's files share: the page's own parts (canvas, prompt, notices) and the
// hooks between its services. Main thread only: a page without threads has no other.
#pragma once
#include "platform/window.h"

// gl_webgl.cpp: the page's WebGL context on the canvas. False when the browser offers none.
bool web_gl_open();

// pads_web.cpp: reads the pads once per idle poll; null handlers while the page has no focus,
// so a button held meanwhile presses nothing later.
void web_pads_poll(const WindowHandlers* handlers);

// window_web.cpp: queue a press as the page's own events are queued, for the handlers' next polls.
void web_post_key(int virtual_key);
void web_post_click(int px, int py); // the left button at canvas pixels
void web_post_turn(int slot, int direction);

// touch_web.cpp: follows the fingers on the canvas; called once the handlers are known.
void web_touch_register();
