// Audio devices on WinMM: one waveOut device on WAVE_MAPPER per opened device, with no callback,
// and the one WAVEHDR through which its buffers are submitted. The device plays straight from
// the caller's memory; asking it to release the header tells whether it still holds it.
// Limits: a trailing partial frame of a buffer is not submitted; the play position is the
// driver's 32-bit count since open or reset, extended to 64 bits at every reading.
// Threads: each device is used by one thread at a time (effects: main; music: its own thread
// polls the position while the main thread only starts and stops it).
#include "platform/audio_device.h"
#include "platform/win32/wrapping_count.h"

#include <windows.h>

#include <mmsystem.h>

struct AudioDevice {
    HWAVEOUT handle = nullptr;
    WAVEHDR header{};
    bool submitted = false;     // the header is prepared and may still be held by the device
    uint64_t position = 0;      // the driver's count since open or reset, extended past its wrap
    uint32_t position_unit = 1; // bytes in one unit of that count
};

namespace {
constexpr WORD FRAME_BYTES = 4; // 16-bit stereo
constexpr DWORD LOOP_FOREVER = 0xFFFFFFFF;

// True when the device has let go of the header (any answer but "still playing" counts).
bool release_header(AudioDevice* d) {
    if (!d->submitted) return true;
    if (waveOutUnprepareHeader(d->handle, &d->header, sizeof(WAVEHDR)) == WAVERR_STILLPLAYING) return false;
    d->submitted = false;
    return true;
}
} // namespace

AudioDevice* audio_device_open(int sample_rate) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = static_cast<DWORD>(sample_rate);
    format.nAvgBytesPerSec = static_cast<DWORD>(sample_rate) * FRAME_BYTES;
    format.nBlockAlign = FRAME_BYTES;
    format.wBitsPerSample = 16;
    format.cbSize = 0;
    HWAVEOUT handle = nullptr;
    if (waveOutOpen(&handle, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return nullptr;
    auto* d = new AudioDevice;
    d->handle = handle;
    return d;
}

bool audio_device_play(AudioDevice* d, const void* data, uint32_t bytes, bool loop) {
    if (!release_header(d)) return false; // one buffer at a time
    d->header = WAVEHDR{};
    d->header.lpData = static_cast<LPSTR>(const_cast<void*>(data)); // the device only reads it
    d->header.dwBufferLength = bytes / FRAME_BYTES * FRAME_BYTES;
    if (loop) {
        d->header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
        d->header.dwLoops = LOOP_FOREVER;
    }
    waveOutPrepareHeader(d->handle, &d->header, sizeof(WAVEHDR));
    d->submitted = true;
    if (waveOutWrite(d->handle, &d->header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        release_header(d);
        return false;
    }
    return true;
}

bool audio_device_busy(AudioDevice* d) {
    return !release_header(d);
}

uint64_t audio_device_bytes_played(AudioDevice* d) {
    MMTIME time{};
    time.wType = TIME_BYTES;
    // A driver that cannot count bytes counts frames; one that cannot answer leaves the last count.
    if (waveOutGetPosition(d->handle, &time, sizeof(MMTIME)) == MMSYSERR_NOERROR) {
        if (time.wType == TIME_BYTES) {
            d->position = wrapping_count_extend(d->position, time.u.cb);
            d->position_unit = 1;
        } else if (time.wType == TIME_SAMPLES) {
            d->position = wrapping_count_extend(d->position, time.u.sample);
            d->position_unit = FRAME_BYTES;
        }
    }
    return d->position * d->position_unit;
}

void audio_device_reset(AudioDevice* d) {
    waveOutReset(d->handle); // returns every held header to the caller; the count starts again
    release_header(d);
    d->position = 0;
}

void audio_device_close(AudioDevice* d) {
    audio_device_reset(d);
    waveOutClose(d->handle);
    delete d;
}
