// One chunk of the output ring from the global song: the sequencer runs whenever a tick's frames
// are used up, the voices are rendered between ticks, and the sums become 16-bit samples.
// Threads: the output thread (and music_start before that thread exists).
#include "audio/music/mixer.h"
#include "audio/music/module_loader.h"
#include "audio/music/sequencer.h"

#include <algorithm>

namespace {
// The chunk in which the song ends and one more, which holds the rest of the final fade.
constexpr uint64_t END_CHUNKS = 2;

// A music_set_order request takes effect at the next row; handing it over right before the row
// starts, on this thread, keeps the sequencer's own writes from racing with it.
void take_order_request() {
    if (song.tick != 0) return;
    const int32_t order = mixer.order_request.exchange(-1, std::memory_order_relaxed);
    if (order < 0) return;
    song.pending_order.store(order, std::memory_order_relaxed);
    song.pending_row.store(0, std::memory_order_relaxed);
}

// The last note fades out over one ramp instead of stopping dead, then every voice is silent.
void fade_out_voices(std::span<Voice> voices) {
    for (Voice& v : voices)
        v.final_volume = v.target_left = v.target_right = 0;
}

void render_song(std::span<Voice> voices) {
    int done = 0;
    while (done < CHUNK_FRAMES) {
        if (!song.ended && song.frames_left_in_tick <= 0) {
            take_order_request();
            sequencer_tick();
            if (song.ended) {
                fade_out_voices(voices);
                mixer.end_chunks = mixer.chunks_mixed + END_CHUNKS;
            }
        }
        const int n =
            song.ended ? CHUNK_FRAMES - done : std::min(CHUNK_FRAMES - done, song.frames_left_in_tick);
        mix_voices(voices, mixer.accumulator.data() + 2 * done, n);
        if (!song.ended) {
            song.frames_left_in_tick -= n;
            mixer.song_frames += static_cast<uint64_t>(n);
        }
        done += n;
    }
    mixer.elapsed_ms.store(static_cast<uint32_t>(mixer.song_frames / FRAMES_PER_MS),
                           std::memory_order_relaxed);
}

uint32_t position_word() {
    return static_cast<uint32_t>(song.order) << 16 | static_cast<uint16_t>(song.row);
}
} // namespace

void mix_chunk() {
    mixer.accumulator.fill(0);
    if (!mixer.paused.load(std::memory_order_relaxed))
        render_song(std::span<Voice>(song.voices, static_cast<size_t>(2 * song.channel_count)));

    const int32_t master_volume = mixer.master_volume.load(std::memory_order_relaxed);
    int16_t* out = mixer.ring.data() + mixer.write_chunk * CHUNK_FRAMES * 2;
    uint32_t sum_left = 0, sum_right = 0;
    mixer_kernels().convert(mixer.accumulator.data(), out, CHUNK_FRAMES, master_volume, sum_left, sum_right);

    // Levels and position share the chunk's own entry, so meters and position describe the same
    // sound when it is heard. A paused chunk keeps the position where the song stopped.
    QueryEntry& entry = mixer.queries[static_cast<size_t>(mixer.write_chunk)];
    entry.levels.store((sum_left / CHUNK_FRAMES) << 16 | sum_right / CHUNK_FRAMES, std::memory_order_relaxed);
    entry.position.store(position_word(), std::memory_order_relaxed);
    mixer.write_chunk = (mixer.write_chunk + 1) % RING_CHUNKS;
    ++mixer.chunks_mixed;
}
