// Thread seam: the music player's one output thread.
#pragma once

struct PlatformThread;

// Called by music_start: starts fn(arg) on a new thread raised to the highest priority the
// system grants (best effort). Null when no thread could be created.
PlatformThread* platform_thread_start(void (*fn)(void*), void* arg);

// Called by music_stop: waits for the thread to end and releases it.
void platform_thread_join(PlatformThread* thread);
