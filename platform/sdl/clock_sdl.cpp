// The clock on Linux: a monotonic millisecond count, so that a change of the wall clock
// never makes the game replay or skip ticks.
#include "platform/clock.h"

#include <chrono>
#include <thread>

int64_t platform_clock_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() + 1;
}

void platform_sleep_ms(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
