#include "app/frame_timer.h"

#include "platform/clock.h"

int64_t next_due;
int32_t tick_period;
int32_t tick_speed = 1;

namespace {
// The part of a millisecond, in 1/tick_speed ms, that the faster ticks have not yet taken.
int32_t due_remainder;
int32_t remainder_speed = 1;
} // namespace

bool frame_timer_poll(bool reset) {
    const int64_t now = platform_clock_ms();
    if (reset || next_due == 0) {
        next_due = now;
        return true;
    }
    // The due time moves by exactly one period, so a stall is caught up tick by tick.
    if (next_due < now) {
        const int32_t speed = tick_speed > 1 ? tick_speed : 1;
        if (speed != remainder_speed) due_remainder = 0;
        remainder_speed = speed;
        next_due += tick_period / speed;
        due_remainder += tick_period % speed;
        if (due_remainder >= speed) {
            due_remainder -= speed;
            ++next_due;
        }
        return true;
    }
    return false;
}

int frame_timer_ms_until_due() {
    const int64_t wait = next_due + 1 - platform_clock_ms(); // equal is not due yet
    return wait > 0 ? static_cast<int>(wait) : 0;
}
