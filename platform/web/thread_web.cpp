// The output loop in a browser page, which has no threads: each running loop's step is called
// from the audio clock, every time the browser takes sound from a device, a few times over so
// that a block longer than one chunk is refilled at once. On the one thread of the page a step
// never runs while the game's code does, so joining only takes the loop off the list.
#include "platform/thread.h"
#include "web_page.h"

#include <emscripten.h>

#include <array>

struct PlatformThread {
    PlatformStep step;
    void* arg;
    bool running;
};

namespace {
constexpr int LOOP_CAPACITY = 2;  // the music player runs one
constexpr int STEPS_PER_PULL = 4; // chunks refilled per block at most: a block is 2,048 frames
std::array<PlatformThread, LOOP_CAPACITY> loops;
} // namespace

PlatformThread* platform_thread_start(PlatformStep step, void* arg, int) {
    for (PlatformThread& loop : loops) {
        if (loop.step) continue;
        loop = {step, arg, true};
        return &loop;
    }
    return nullptr;
}

void platform_thread_join(PlatformThread* loop) {
    if (loop) *loop = {};
}

extern "C" EMSCRIPTEN_KEEPALIVE void web_loops_run() {
    for (PlatformThread& loop : loops)
        for (int i = 0; i < STEPS_PER_PULL && loop.running; ++i)
            loop.running = loop.step(loop.arg);
}
