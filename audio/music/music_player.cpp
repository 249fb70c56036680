// Starting and stopping songs, and the output loop that keeps the looping ring filled behind
// the device's play position.
// Threads: the interface runs on the game thread. The output thread mixes; when a song that does
// not loop has ended and its last chunk has been heard, it closes the device and frees the song
// itself. The game thread touches the device, the thread handle and the arena only while no
// output thread runs (before starting it, or after joining it).
#include "audio/music/mixer.h"
#include "audio/music/module_loader.h"
#include "audio/music/music.h"
#include "platform/audio_device.h"
#include "platform/thread.h"

#include <algorithm>
#include <array>

namespace {
constexpr int THREAD_PERIOD_MS = 5;

// 2 dB a level; level 0 is the smallest factor, which truncates every sample to 0.
constexpr std::array<int32_t, MUSIC_VOLUME_LEVELS> volume_table = {
    1,    130,  164,  207,  260,  328,  413,  519,   654,   823,   1036,  1305,  1642,
    2068, 2603, 3277, 4125, 5193, 6538, 8231, 10362, 13045, 16423, 20675, 26029, 32768};

struct Player {
    AudioDevice* device;
    PlatformThread* thread;
    std::atomic<bool> stop_request;
    std::atomic<bool> playing;
};
Player player;

// Device and song go; the thread handle stays for music_stop to join.
void release_song() {
    mixer.write_chunk = 0;
    if (player.device) {
        audio_device_reset(player.device);
        audio_device_close(player.device);
        player.device = nullptr;
    }
    music_unload();
    player.playing.store(false, std::memory_order_relaxed);
}

bool last_sound_heard(uint64_t bytes_played) {
    return mixer_song_ended() && bytes_played >= mixer.end_chunks * CHUNK_BYTES;
}

// One round of the output loop: refills the next chunk the device has played and reports the
// chunk being heard to the queries. After the song has ended it keeps writing silence until the
// device has played the last chunk with sound, so nothing of the song is cut off, then lets go
// of the device. Desktop systems call it from the output thread, a browser from its audio clock.
bool output_step(void*) {
    if (player.stop_request.load(std::memory_order_relaxed)) return false;
    const uint64_t played = audio_device_bytes_played(player.device);
    if (last_sound_heard(played)) {
        release_song();
        return false;
    }
    const int playing_chunk = static_cast<int>(played / CHUNK_BYTES % RING_CHUNKS);
    mixer.read_entry.store(static_cast<uint32_t>(playing_chunk), std::memory_order_relaxed);
    if (mixer.write_chunk != playing_chunk) mix_chunk();
    return true;
}

bool fail_start() {
    music_stop();
    return false;
}
} // namespace

bool music_start(const void* source, uintptr_t size_or_module, uint32_t flags) {
    music_stop();
    if (!source) return false;
    mixer.paused.store((flags & MUSIC_PAUSED) != 0, std::memory_order_relaxed);
    if (mixer.master_volume.load(std::memory_order_relaxed) == 0)
        mixer.master_volume.store(MUSIC_UNITY_VOLUME, std::memory_order_relaxed);

    player.device = audio_device_open(OUTPUT_RATE);
    if (!player.device || !music_load(source, size_or_module, flags)) return fail_start();

    // The whole ring is mixed before the device starts, so it never plays stale sound.
    do
        mix_chunk();
    while (mixer.write_chunk != 0);

    player.stop_request.store(false, std::memory_order_relaxed);
    if (!audio_device_play(player.device, mixer.ring.data(), RING_BYTES, true)) return fail_start();
    player.playing.store(true, std::memory_order_relaxed);
    player.thread = platform_thread_start(output_step, nullptr, THREAD_PERIOD_MS);
    if (!player.thread) return fail_start();
    return true;
}

void music_stop() {
    if (player.thread) {
        player.stop_request.store(true, std::memory_order_relaxed);
        // No time limit: the thread looks at the request every 5 ms, and giving up on it would
        // free the song under a thread that still mixes it.
        platform_thread_join(player.thread);
        player.thread = nullptr;
    }
    release_song();
}

int32_t music_set_volume(int level) {
    const uint32_t index =
        std::min(static_cast<uint32_t>(level), static_cast<uint32_t>(MUSIC_VOLUME_LEVELS - 1));
    const int32_t factor = volume_table[index];
    mixer.master_volume.store(factor, std::memory_order_relaxed);
    return factor;
}

void music_pause() {
    mixer.paused.store(true, std::memory_order_relaxed);
}
void music_resume() {
    mixer.paused.store(false, std::memory_order_relaxed);
}

void music_set_order(int order) {
    const bool valid = order >= 0 && order < song.song_length;
    mixer.order_request.store(valid ? order : 0, std::memory_order_relaxed);
}

uint32_t music_levels() {
    return mixer.queries[mixer.read_entry.load(std::memory_order_relaxed)].levels.load(
        std::memory_order_relaxed);
}

uint32_t music_position() {
    return mixer.queries[mixer.read_entry.load(std::memory_order_relaxed)].position.load(
        std::memory_order_relaxed);
}

uint32_t music_time_ms() {
    return mixer.elapsed_ms.load(std::memory_order_relaxed);
}

bool music_playing() {
    return player.playing.load(std::memory_order_relaxed);
}
