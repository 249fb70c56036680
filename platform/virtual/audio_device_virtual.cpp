// Virtual audio devices: hold what is submitted and move only when a test says so.
#include "platform/audio_device.h"
#include "virtual_audio.h"

#include <algorithm>
#include <atomic>
#include <mutex>

struct AudioDevice {
    int rate = 0;
    std::atomic<const void*> data{nullptr};
    std::atomic<uint32_t> bytes{0};
    std::atomic<bool> loop{false};
    std::atomic<bool> holding{false};
    std::atomic<uint64_t> played{0};
    std::atomic<int> submissions{0};
};

namespace {
std::mutex devices_mutex;
std::vector<AudioDevice*> devices;
std::atomic<bool> refuse{false};
} // namespace

void virtual_audio_refuse_open(bool r) { refuse.store(r); }

std::vector<AudioDevice*> virtual_audio_open_devices() {
    std::lock_guard lock(devices_mutex);
    return devices;
}
int virtual_audio_open_count() {
    std::lock_guard lock(devices_mutex);
    return static_cast<int>(devices.size());
}

int virtual_audio_rate(AudioDevice* d) { return d->rate; }
const void* virtual_audio_buffer(AudioDevice* d) { return d->holding.load() ? d->data.load() : nullptr; }
uint32_t virtual_audio_buffer_bytes(AudioDevice* d) { return d->bytes.load(); }
bool virtual_audio_looping(AudioDevice* d) { return d->loop.load(); }
int virtual_audio_submissions(AudioDevice* d) { return d->submissions.load(); }

void virtual_audio_advance(AudioDevice* d, uint32_t n) {
    if (!d->holding.load()) return;
    const uint64_t total = d->bytes.load();
    if (d->loop.load()) {
        d->played.fetch_add(n);
        return;
    }
    const uint64_t now = std::min<uint64_t>(d->played.load() + n, total);
    d->played.store(now);
    if (now >= total) d->holding.store(false);
}

AudioDevice* audio_device_open(int sample_rate) {
    if (refuse.load()) return nullptr;
    auto* d = new AudioDevice;
    d->rate = sample_rate;
    std::lock_guard lock(devices_mutex);
    devices.push_back(d);
    return d;
}

bool audio_device_play(AudioDevice* d, const void* data, uint32_t bytes, bool loop) {
    if (d->holding.load()) return false; // one buffer at a time, as the real devices
    d->data.store(data);
    d->bytes.store(bytes);
    d->loop.store(loop);
    d->played.store(0);
    d->submissions.fetch_add(1);
    d->holding.store(bytes > 0 || loop);
    return true;
}

bool audio_device_busy(AudioDevice* d) { return d->holding.load(); }

uint64_t audio_device_bytes_played(AudioDevice* d) { return d->played.load(); }

void audio_device_reset(AudioDevice* d) { d->holding.store(false); }

void audio_device_close(AudioDevice* d) {
    {
        std::lock_guard lock(devices_mutex);
        devices.erase(std::remove(devices.begin(), devices.end(), d), devices.end());
    }
    delete d;
}
