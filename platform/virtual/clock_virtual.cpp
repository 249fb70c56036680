// The virtual clock: it moves only when a test moves it or a thread sleeps.
#include "platform/clock.h"
#include "virtual_platform.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
constexpr int64_t CLOCK_ORIGIN_MS = 1'000'000;
// A sleeper really leaves the processor for a moment: a real-time thread that only yielded would
// keep every other process off its core.
constexpr auto SLEEP_BLOCK = std::chrono::microseconds(50);
std::atomic<int64_t> clock_ms{CLOCK_ORIGIN_MS};
std::atomic<int64_t> slept_ms{0};
} // namespace

void virtual_clock_reset() {
    clock_ms.store(CLOCK_ORIGIN_MS);
    slept_ms.store(0);
}
int64_t virtual_clock_now() { return clock_ms.load(); }
void virtual_clock_advance(int64_t milliseconds) { clock_ms.fetch_add(milliseconds); }
int64_t virtual_slept_ms() { return slept_ms.load(); }

int64_t platform_clock_ms() { return clock_ms.load(); }

void platform_sleep_ms(int milliseconds) {
    clock_ms.fetch_add(milliseconds);
    slept_ms.fetch_add(milliseconds);
    std::this_thread::sleep_for(SLEEP_BLOCK);
}
