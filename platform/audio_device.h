// Audio output seam: 16-bit PCM stereo devices on the system's default output.
// Two may be open at once (effects and music); the system mixes them.
// Every call for one device comes from one thread at a time; the device reads the
// submitted buffer on its own, so the caller keeps it alive and unchanged until the
// device no longer holds it (audio_device_busy false, or after reset/close).
#pragma once
#include <cstdint>

struct AudioDevice;

// Called by sfx_open (44,100 Hz) and music_start (48,000 Hz), both on the main thread. Null when
// the default output cannot be opened in that format.
AudioDevice* audio_device_open(int sample_rate);

// Called by sfx_pump and music_start: hands over one caller-owned buffer of stereo frames,
// played once or, with loop, round and round until reset. A trailing partial frame (the stored
// effects end with a lone left sample) is not played. False when refused, e.g. while the
// device still holds an earlier buffer.
bool audio_device_play(AudioDevice* device, const void* data, uint32_t bytes, bool loop);

// Called by sfx_pump: true while the device still holds the submitted buffer. Once it answers
// false the buffer is released and a new one may be submitted.
bool audio_device_busy(AudioDevice* device);

// Called by the music thread: bytes the device has played since the buffer was submitted.
uint64_t audio_device_bytes_played(AudioDevice* device);

// Called by music_stop: stops playback at once and releases the submitted buffer.
void audio_device_reset(AudioDevice* device);

// Called by music_stop, by the music thread when a song that does not loop has ended, and by
// sfx_close: resets and closes; the handle is gone afterwards. Safe while the other device is
// being opened or closed on another thread.
void audio_device_close(AudioDevice* device);
