// The music player's private arena: every record of a loaded song comes from here, zero-filled,
// and music_stop releases all of it in one call. Nothing is freed one by one.
// Limits: ARENA_LIMIT bytes in all, so a module that claims absurd sizes fails to load instead of
// exhausting the machine.
// Threads: used by whichever thread loads or tears down the song, never by two at once.
#pragma once
#include <cstddef>

constexpr size_t ARENA_LIMIT = size_t{256} << 20;

// Called by music_start before loading. False when the arena cannot be set up; calling it while
// an arena exists keeps that one.
bool arena_create();

// Zero-filled storage aligned for any record; null when the arena is missing or full.
void* arena_alloc(size_t bytes);

// Releases everything allocated since arena_create. Safe to call when no arena exists.
void arena_destroy();
