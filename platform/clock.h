// Clock and sleep seam.
#pragma once
#include <cstdint>

// Called by frame_timer_poll: milliseconds from a fixed origin, never 0, never going back.
int64_t platform_clock_ms();

// Called by the main loop, the effects helpers and the music thread.
void platform_sleep_ms(int milliseconds);
