// Audio devices in a browser page: the page's sound (quibbet.html) plays them in its one audio
// context, started by the click that answers the fullscreen question. A device hands the
// caller's buffer, in the program's memory, on to the browser a little ahead of what is heard,
// at the device's own rate resampled to the context's, and counts what it has handed on; the
// browser mixes the devices as the system mixes two devices on the desktop. Each time the
// browser has played a part, the page runs the output loops (thread_web.cpp), so the music is
// refilled as fast as it is played.
// No shared memory and no threads of the program: the page's audio thread gets copies.
#include "platform/audio_device.h"

#include <emscripten.h>

struct AudioDevice {
    int id; // the page's device number
};

namespace {

// The JavaScript inside is not C++.
// clang-format off
EM_JS(int, page_audio_open, (int rate), { return Module.quibbetAudio ? Module.quibbetAudio.open(rate) : 0; });
EM_JS(void, page_audio_play, (int id, const void* data, uint32_t bytes, int loop), {
    Module.quibbetAudio.play(id, data, bytes, loop != 0);
});
EM_JS(int, page_audio_busy, (int id), { return Module.quibbetAudio.busy(id) ? 1 : 0; });
EM_JS(double, page_audio_played, (int id), { return Module.quibbetAudio.played(id); });
EM_JS(void, page_audio_reset, (int id), { Module.quibbetAudio.reset(id); });
EM_JS(void, page_audio_close, (int id), { Module.quibbetAudio.close(id); });
// clang-format on

} // namespace

AudioDevice* audio_device_open(int sample_rate) {
    const int id = page_audio_open(sample_rate);
    return id ? new AudioDevice{id} : nullptr;
}

bool audio_device_play(AudioDevice* d, const void* data, uint32_t bytes, bool loop) {
    if (page_audio_busy(d->id)) return false; // one buffer at a time
    page_audio_play(d->id, data, bytes, loop ? 1 : 0);
    return true;
}

bool audio_device_busy(AudioDevice* d) {
    return page_audio_busy(d->id) != 0;
}

uint64_t audio_device_bytes_played(AudioDevice* d) {
    return static_cast<uint64_t>(page_audio_played(d->id));
}

void audio_device_reset(AudioDevice* d) {
    page_audio_reset(d->id);
}

void audio_device_close(AudioDevice* d) {
    page_audio_close(d->id);
    delete d;
}
