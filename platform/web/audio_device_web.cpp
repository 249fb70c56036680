// Audio devices in a browser page: the page's one audio context (started by the click that
// answers the fullscreen question) plays every device; each device is a script node that copies
// from the caller's buffer in the program's memory, at the device's own rate resampled to the
// context's, and counts what it has handed over. The browser mixes the nodes as the system mixes
// two devices on the desktop.
// Script nodes run on the page's thread, where the program's memory is at hand; a worklet would
// run on the audio thread and need every chunk posted to it, and sharing memory with it would
// need the special headers a plain static server does not send. After each block the audio clock
// runs the output loops (thread_web.cpp), so the music is refilled as fast as it is played.
#include "platform/audio_device.h"
#include "web_page.h"

#include <emscripten.h>

struct AudioDevice {
    int id; // the page's device number
};

namespace {

EM_JS(int, page_audio_open, (int rate), {
    const audio = Module.quibbetAudio;
    if (!audio) return 0;
    const BLOCK_FRAMES = 2048; // about 43 ms: short enough for effects, long enough for a busy page
    const node = audio.context.createScriptProcessor(BLOCK_FRAMES, 0, 2);
    const device = {
        node : node,
        step : rate / audio.context.sampleRate,
        data : 0,
        frames : 0,
        loop : false,
        holding : false,
        position : 0
    };
    node.onaudioprocess = (event) = > {
        const left = event.outputBuffer.getChannelData(0), right = event.outputBuffer.getChannelData(1);
        let i = 0;
        if (device.holding) {
            const samples = HEAP16, base = device.data >> 1, frames = device.frames;
            for (; i < left.length; ++i) {
                const whole = Math.floor(device.position);
                if (!device.loop && whole >= frames) {
                    device.holding = false;
                    break;
                }
                const at = whole % frames,
                      next = device.loop ? (at + 1) % frames : Math.min(at + 1, frames - 1);
                const t = device.position - whole;
                left[i] = (samples[base + 2 * at] * (1 - t) + samples[base + 2 * next] * t) / 32768;
                right[i] = (samples[base + 2 * at + 1] * (1 - t) + samples[base + 2 * next + 1] * t) / 32768;
                device.position += device.step;
            }
        }
        left.fill(0, i);
        right.fill(0, i);
        Module['_web_loops_run']();
    };
    node.connect(audio.master);
    let free = audio.devices.indexOf(null);
    if (free < 0) free = audio.devices.push(null) - 1;
    audio.devices[free] = device;
    return free + 1;
});

EM_JS(void, page_audio_play, (int id, const void* data, uint32_t bytes, int loop), {
    const device = Module.quibbetAudio.devices[id - 1];
    device.data = data;
    device.frames = Math.floor(bytes / 4);
    device.loop = loop != 0;
    device.position = 0;
    device.holding = device.frames > 0;
});

EM_JS(int, page_audio_busy, (int id), { return Module.quibbetAudio.devices[id - 1].holding ? 1 : 0; });

EM_JS(double, page_audio_played, (int id),
      { return Math.floor(Module.quibbetAudio.devices[id - 1].position) * 4; });

EM_JS(void, page_audio_reset, (int id), { Module.quibbetAudio.devices[id - 1].holding = false; });

EM_JS(void, page_audio_close, (int id), {
    const device = Module.quibbetAudio.devices[id - 1];
    device.holding = false;
    device.node.onaudioprocess = null;
    device.node.disconnect();
    Module.quibbetAudio.devices[id - 1] = null;
});

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
