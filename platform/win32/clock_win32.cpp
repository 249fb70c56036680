// The clock on Windows: the performance counter in milliseconds. It is monotonic, so a change
// of the wall clock never makes the game replay or skip ticks, and it is finer than the
// system tick (about 16 ms), which would make the 25 ms updates arrive unevenly.
#include "platform/clock.h"

#include <windows.h>

int64_t platform_clock_ms() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency); // fixed at boot; never fails on supported systems
    QueryPerformanceCounter(&count);
    // Whole seconds and the remainder apart, so that count * 1000 cannot overflow.
    const int64_t seconds = count.QuadPart / frequency.QuadPart;
    const int64_t rest = count.QuadPart % frequency.QuadPart;
    return seconds * 1000 + rest * 1000 / frequency.QuadPart + 1; // + 1: never 0
}

void platform_sleep_ms(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
}
