#include "app/frame_timer.h"

#include "platform/clock.h"

int64_t next_due;
int32_t tick_period;

bool frame_timer_poll(bool reset) {
    const int64_t now = platform_clock_ms();
    if (reset || next_due == 0) {
        next_due = now;
        return true;
    }
    // The due time moves by exactly one period, so a stall is caught up tick by tick.
    if (next_due < now) {
        next_due += tick_period;
        return true;
    }
    return false;
}

int frame_timer_ms_until_due() {
    const int64_t wait = next_due + 1 - platform_clock_ms(); // equal is not due yet
    return wait > 0 ? static_cast<int>(wait) : 0;
}
