// The output loop in a browser page, which has no threads: each running loop's step is called
// from the audio clock, every time the browser answers that it has played another part of a
// device's sound (quibbet.html), a few times over so that the music is refilled as far as it has
// been handed on. On the one thread of the page a step never runs while the game's code does,
// so joining only takes the loop off the list.
#include "platform/thread.h"

#include <emscripten.h>

#include <array>

struct PlatformThread {
    PlatformStep step;
    void* arg;
    bool running;
};

namespace {
constexpr int LOOP_CAPACITY = 2;    // the music player runs one
constexpr int STEPS_PER_ANSWER = 4; // chunks: an answer comes every 1,024 frames played
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

// Called by the page (Module._web_loops_run).
extern "C" EMSCRIPTEN_KEEPALIVE void web_loops_run() {
    for (PlatformThread& loop : loops)
        for (int i = 0; i < STEPS_PER_ANSWER && loop.running; ++i)
            loop.running = loop.step(loop.arg);
}
