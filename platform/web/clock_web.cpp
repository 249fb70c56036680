// The clock in a browser: the page's monotonic clock (performance.now) in milliseconds.
#include "platform/clock.h"

#include <emscripten.h>

int64_t platform_clock_ms() {
    return static_cast<int64_t>(emscripten_get_now()) + 1;
}

// The page's one thread must never block: the browser calls the game once per displayed frame,
// and that call is the main loop's wait. Nothing in a page asks for a longer sleep.
void platform_sleep_ms(int) {}
