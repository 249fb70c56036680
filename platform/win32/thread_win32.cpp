// Threads on Windows: the music player's output thread at time-critical priority.
// The thread is created suspended so that it never runs a moment at normal priority.
#include "platform/clock.h"
#include "platform/thread.h"

#include <windows.h>

struct PlatformThread {
    HANDLE handle;
    PlatformStep step;
    void* arg;
    int period_ms;
};

namespace {
DWORD WINAPI thread_entry(void* parameter) {
    const auto* t = static_cast<PlatformThread*>(parameter);
    while (t->step(t->arg))
        platform_sleep_ms(t->period_ms);
    return 0;
}
} // namespace

PlatformThread* platform_thread_start(PlatformStep step, void* arg, int period_ms) {
    auto* t = new PlatformThread{nullptr, step, arg, period_ms};
    t->handle = CreateThread(nullptr, 0, thread_entry, t, CREATE_SUSPENDED, nullptr);
    if (!t->handle) {
        delete t;
        return nullptr;
    }
    SetThreadPriority(t->handle, THREAD_PRIORITY_TIME_CRITICAL); // best effort
    ResumeThread(t->handle);
    return t;
}

void platform_thread_join(PlatformThread* t) {
    if (!t) return;
    WaitForSingleObject(t->handle, INFINITE);
    CloseHandle(t->handle);
    delete t;
}
