// The music mixer: renders the song's voices into a 64-bit accumulator with linear
// interpolation and 128-frame volume ramps, converts each 1,024-frame chunk to 16-bit stereo in
// the 64 KB output ring, and keeps the query ring that the game reads.
// Limits: 16 chunks of 1,024 frames at 48,000 Hz; nothing is allocated while mixing.
// Threads: mix_chunk runs on the game thread inside music_start and then only on the output
// thread. The words the game thread touches (master volume, pause, queries) are atomic.
#pragma once
#include "audio/music/mix_kernels.h"
#include "audio/music/music.h"
#include "audio/music/song.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

constexpr int CHUNK_FRAMES = 1024;
constexpr int RING_CHUNKS = 16;
constexpr int CHUNK_BYTES = CHUNK_FRAMES * 4; // 16-bit stereo
constexpr int RING_BYTES = CHUNK_BYTES * RING_CHUNKS;
static_assert(RING_BYTES == 65536);
constexpr int FRAMES_PER_MS = OUTPUT_RATE / 1000;
constexpr int RAMP_FRAMES = 128;
// Step used when a voice's step is too small to measure: 40 Hz at 48,000 Hz.
constexpr uint64_t FLOOR_STEP = 3579136;

struct QueryEntry {
    std::atomic<uint32_t> levels;   // left average magnitude << 16 | right
    std::atomic<uint32_t> position; // order << 16 | row
};

struct Mixer {
    // 64-bit sums: a few loud voices in phase would overflow 32 bits long before the clip.
    std::array<int64_t, CHUNK_FRAMES * 2> accumulator;
    std::array<int16_t, RING_BYTES / 2> ring; // what the device plays round and round
    int write_chunk;                          // next chunk to fill, 0..15
    uint64_t chunks_mixed;                    // since mixer_reset
    uint64_t song_frames;                     // song frames rendered, for music_time_ms
    // 0 while the song runs; once it has ended, the chunks that hold sound (the last of them
    // carries the fade of the final notes): when the device has played that many, all is heard.
    uint64_t end_chunks;
    std::atomic<int32_t> master_volume; // 16-bit factor, 32,768 = unity
    std::atomic<bool> paused;
    // Order asked for by music_set_order, -1 none. The mixing thread hands it to the sequencer
    // just before a row starts, so the request can never be half-seen or overwritten there.
    std::atomic<int32_t> order_request;
    std::atomic<uint32_t> read_entry; // the query entry of the chunk being heard
    std::atomic<uint32_t> elapsed_ms;
    std::array<QueryEntry, RING_CHUNKS> queries;
};

extern Mixer mixer;

// Called by music_start, the render tool, tests and benchmarks: loads a module from the source
// that music_start's flags name into a fresh arena, sets the loop flag and readies the mixer for
// the song's first chunk (write_chunk 0, counters and queries cleared; master volume and pause
// flag left alone). False, with nothing kept, when the module does not load.
bool music_load(const void* source, uintptr_t size_or_module, uint32_t flags);

// Frees the loaded song (the arena). Safe when nothing is loaded.
void music_unload();

// Renders frames of every busy voice, added into accumulator[0 .. 2 x frames) (left, right
// interleaved). Voices reaching a sample end without a loop become idle.
void mix_voices(std::span<Voice> voices, int64_t* accumulator, int frames);

// The kernel set in use: the fastest this processor runs, unless the environment variable
// QUIBBET_MIXER names another usable set ("portable" runs everywhere). Tests and benchmarks switch
// sets, never while a song plays.
void mixer_use_kernels(const MixKernels& kernels);
const MixKernels& mixer_kernels();

// One accumulator value to an output sample: divide by 16,320 rounding half up, clip to 32,767,
// scale by the master volume; the sign is kept.
int16_t convert_sample(int64_t value, int32_t master_volume);

// Mixes chunk write_chunk of the ring from the global song (running the sequencer as ticks run
// out), stores its query entry and moves write_chunk on. Paused chunks are silent and leave the
// song where it is; once the song has ended, chunks are silent after the voices have faded out.
void mix_chunk();

// True once the song has ended (see end_chunks).
bool mixer_song_ended();

// True once every chunk with sound of an ended song has been mixed.
bool mixer_song_done();

// The 1,024 frames that mix_chunk wrote last.
std::span<const int16_t> last_chunk();
