// Loading a song for the mixer, shared by music_start and by rendering without a device.
// Threads: the game thread (or a tool's only thread), while no output thread runs.
#include "audio/music/arena.h"
#include "audio/music/mixer.h"
#include "audio/music/module_loader.h"

namespace {
ModuleSource source; // holds the file cache, too big for the stack of a game-thread call

void choose_source(const void* from, uintptr_t size_or_module, uint32_t flags) {
    if (flags & MUSIC_FROM_MEMORY)
        source_set_memory(source, from, static_cast<uint32_t>(size_or_module));
    else if (flags & MUSIC_FROM_FILE)
        source_set_file(source, static_cast<const char*>(from));
    else
        source_set_resource(source, static_cast<const char*>(from),
                            reinterpret_cast<const void*>(size_or_module));
}

void reset_mixer() {
    mixer.write_chunk = 0;
    mixer.chunks_mixed = 0;
    mixer.song_frames = 0;
    mixer.end_chunks = 0;
    mixer.order_request.store(-1, std::memory_order_relaxed);
    mixer.read_entry.store(0, std::memory_order_relaxed);
    mixer.elapsed_ms.store(0, std::memory_order_relaxed);
    for (QueryEntry& q : mixer.queries) {
        q.levels.store(0, std::memory_order_relaxed);
        q.position.store(0, std::memory_order_relaxed);
    }
}
} // namespace

bool music_load(const void* from, uintptr_t size_or_module, uint32_t flags) {
    music_unload();
    if (!arena_create()) return false;
    choose_source(from, size_or_module, flags);
    const bool loaded = load_module(source);
    source_close(source);
    if (!loaded) {
        music_unload();
        return false;
    }
    song.loop = (flags & MUSIC_LOOP) != 0;
    reset_mixer();
    return true;
}

void music_unload() {
    arena_destroy();
    reset_mixer();
}
