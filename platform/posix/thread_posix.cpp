// Threads on POSIX systems: std::thread, raised to the top real-time priority when the
// system grants it (it usually does not for ordinary users; then the default priority stays).
#include "platform/clock.h"
#include "platform/thread.h"

#include <pthread.h>
#include <sched.h>
#include <thread>

struct PlatformThread {
    std::thread thread;
};

PlatformThread* platform_thread_start(PlatformStep step, void* arg, int period_ms) {
    auto* t = new PlatformThread;
    try {
        t->thread = std::thread([step, arg, period_ms] {
            sched_param param{};
            param.sched_priority = sched_get_priority_max(SCHED_FIFO);
            pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
            while (step(arg))
                platform_sleep_ms(period_ms);
        });
    } catch (...) {
        delete t;
        return nullptr;
    }
    return t;
}

void platform_thread_join(PlatformThread* t) {
    if (!t) return;
    t->thread.join();
    delete t;
}
