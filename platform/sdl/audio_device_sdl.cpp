// Audio devices on SDL2: one SDL audio device per opened device, on the default output, fed by a
// callback that copies from the caller's buffer and counts what it has handed over.
// Limits: the device's own buffer is about 20 ms (1,024 frames at 44,100 Hz): an effect starts
// sounding some 25 ms after its submission. Half that drops samples when the machine is busy,
// which a player hears as gaps. A trailing partial frame of a buffer is not played (the output
// only takes whole stereo frames).
// Threads: the callback runs on SDL's audio thread; submission and reset lock the device, and
// the counters that the caller polls are atomics. The music device is closed on the music
// thread while the effects device may be opened on the main thread: SDL's table of open devices
// is not guarded against that, so opening and closing take one lock, and the audio subsystem,
// whose start and stop counts are not guarded either, is started once and never stopped.
#include "platform/audio_device.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

struct AudioDevice {
    SDL_AudioDeviceID id = 0;
    std::atomic<const uint8_t*> data{nullptr};
    std::atomic<uint32_t> bytes{0}; // whole frames only
    std::atomic<bool> loop{false};
    std::atomic<bool> holding{false};
    std::atomic<uint64_t> handed{0}; // bytes handed to SDL since the buffer was submitted
};

namespace {
constexpr int FRAME_BYTES = 4; // 16-bit stereo
constexpr int DEVICE_BUFFER_MS = 20;

std::mutex open_close_lock;

// The power of two at or above DEVICE_BUFFER_MS of frames.
uint16_t device_buffer_frames(int rate) {
    uint16_t frames = 64;
    while (frames < rate * DEVICE_BUFFER_MS / 1000 && frames < 0x4000)
        frames = static_cast<uint16_t>(frames * 2);
    return frames;
}

void fill(void* user, Uint8* stream, int len) {
    auto* d = static_cast<AudioDevice*>(user);
    auto out = static_cast<uint32_t>(len);
    uint32_t done = 0;
    if (d->holding.load(std::memory_order_acquire)) {
        const uint8_t* data = d->data.load(std::memory_order_relaxed);
        const uint32_t bytes = d->bytes.load(std::memory_order_relaxed);
        const bool loop = d->loop.load(std::memory_order_relaxed);
        uint64_t handed = d->handed.load(std::memory_order_relaxed);
        while (done < out && bytes > 0) {
            const auto at = static_cast<uint32_t>(loop ? handed % bytes : handed);
            const uint32_t n = std::min(out - done, bytes - at);
            if (n == 0) break;
            std::memcpy(stream + done, data + at, n);
            done += n;
            handed += n;
            if (!loop && handed >= bytes) break;
        }
        d->handed.store(handed, std::memory_order_relaxed);
        if (!loop && handed >= bytes) d->holding.store(false, std::memory_order_release);
    }
    std::memset(stream + done, 0, out - done);
}
} // namespace

AudioDevice* audio_device_open(int sample_rate) {
    const std::lock_guard<std::mutex> guard(open_close_lock);
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    auto* d = new AudioDevice;
    SDL_AudioSpec want{};
    want.freq = sample_rate;
    want.format = AUDIO_S16LSB;
    want.channels = 2;
    want.samples = device_buffer_frames(sample_rate);
    want.callback = fill;
    want.userdata = d;
    // No allowed changes: SDL converts to whatever the output really takes.
    d->id = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (d->id == 0) {
        delete d;
        return nullptr;
    }
    SDL_PauseAudioDevice(d->id, 0); // silence until something is submitted
    return d;
}

bool audio_device_play(AudioDevice* d, const void* data, uint32_t bytes, bool loop) {
    if (d->holding.load(std::memory_order_acquire)) return false; // one buffer at a time
    SDL_LockAudioDevice(d->id);
    d->data.store(static_cast<const uint8_t*>(data), std::memory_order_relaxed);
    d->bytes.store(bytes / FRAME_BYTES * FRAME_BYTES, std::memory_order_relaxed);
    d->loop.store(loop, std::memory_order_relaxed);
    d->handed.store(0, std::memory_order_relaxed);
    d->holding.store(bytes >= FRAME_BYTES, std::memory_order_release);
    SDL_UnlockAudioDevice(d->id);
    return true;
}

bool audio_device_busy(AudioDevice* d) {
    return d->holding.load(std::memory_order_acquire);
}

uint64_t audio_device_bytes_played(AudioDevice* d) {
    return d->handed.load(std::memory_order_relaxed);
}

void audio_device_reset(AudioDevice* d) {
    SDL_LockAudioDevice(d->id);
    d->holding.store(false, std::memory_order_release);
    SDL_UnlockAudioDevice(d->id);
}

void audio_device_close(AudioDevice* d) {
    const std::lock_guard<std::mutex> guard(open_close_lock);
    SDL_CloseAudioDevice(d->id); // waits for the callback to finish
    delete d;
}
