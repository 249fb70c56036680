// Renders a module through the chunk mixer without a device, as the render tool does: loaded
// from memory into the global song, mixed chunk by chunk until it has ended and faded out.
#pragma once
#include "audio/music/mixer.h"
#include "audio/music/music.h"

#include <cstdint>
#include <vector>

struct Rendered {
    std::vector<int16_t> samples;    // interleaved left, right
    std::vector<uint32_t> positions; // the position word of every chunk
};

inline Rendered render(const std::vector<uint8_t>& file, int max_chunks, uint32_t flags = MUSIC_FROM_MEMORY) {
    Rendered r;
    if (!music_load(file.data(), file.size(), flags)) return r;
    for (int i = 0; i < max_chunks && !mixer_song_done(); ++i) {
        mix_chunk();
        std::span<const int16_t> chunk = last_chunk();
        r.samples.insert(r.samples.end(), chunk.begin(), chunk.end());
        r.positions.push_back(
            mixer.queries[static_cast<size_t>((mixer.write_chunk + RING_CHUNKS - 1) % RING_CHUNKS)]
                .position.load());
    }
    music_unload();
    return r;
}
