// Thread seam: the music player's one output loop. The loop belongs to the platform and the
// step to the player, so a system without threads can still run it.
#pragma once

struct PlatformThread;

// One round of the loop: false when the loop should end.
using PlatformStep = bool (*)(void* arg);

// Called by music_start: calls step(arg) again and again, period_ms apart, until it answers
// false. Desktop systems run the loop on a new thread raised to the highest priority the system
// grants (best effort); a browser page, which has no threads, calls the step from its audio
// clock on the page's one thread. Null when the loop could not be started.
PlatformThread* platform_thread_start(PlatformStep step, void* arg, int period_ms);

// Called by music_stop: waits for the loop to end (the step has answered false, or the step's
// own stop request was seen) and releases it.
void platform_thread_join(PlatformThread* thread);
