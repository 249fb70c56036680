// Sound effects: short sounds on an output device of their own, beside the music's.
// Game code asks for an effect by name at any moment of a frame; the request is only recorded,
// and sfx_pump, run on every idle pass of the main loop, hands it to the device. One effect
// sounds at a time; a newer request replaces one that has not gone out yet.
// Stored effects: "tic", "bounce", "death", "winner" (embedded raw 16-bit stereo samples at
// 44,100 Hz); any other name plays the tone synthesised once at the first request.
// Threads: main thread only. The device reads the submitted data on its own, and that data is
// constant (embedded) or written only before the first submission (the synthesis buffer).
#pragma once
#include <cstdint>

struct AudioDevice;

constexpr int SFX_SAMPLE_RATE = 44'100;
constexpr int SFX_CLOSED = 0;  // before the first request: the pump does nothing
constexpr int SFX_READY = 1;   // device open, nothing held: the pump submits what is pending
constexpr int SFX_PLAYING = 2; // the device holds an effect: the pump waits for its release

// The module's one instance; zero at program start.
struct SfxModule {
    AudioDevice* device;
    int state;
    const uint8_t* pending_data;
    int32_t pending_length;  // bytes; 0 means nothing is pending
    int16_t* synthesis;      // SFX_SYNTHESIS_BYTES, zero-filled; null when it could not be had
    int32_t write_position;  // samples from synthesis[0] where the next tone begins
    int32_t rendered_length; // bytes of synthesis[] that the default tone fills
    struct Melody* default_melody;
};
extern SfxModule sfx_module;

// 1 (effects on) at program start; the menus switch it. Read only here, and only by sfx_play.
extern int sfx_enabled;

// Records the named effect for the next sfx_pump; opens the module on first use, even with
// effects off. A device that cannot be opened ends the process (see sfx_open).
void sfx_play(const char* name);

// Submits the pending effect when the device is free, or checks whether it has released the
// last one. Called by frame_begin on every pass and by the board step after the final fall.
void sfx_pump();

// Opens the effects device (44,100 Hz, 16-bit stereo) on the default output. Returns 0. When
// no device can be had, writes "unable to open WAVE_MAPPER device\n" to standard error and
// ends the process with status 1.
int sfx_open();

// Closes the device and returns the module to its state at program start (synthesis buffer
// and melody released). Called by the program's shutdown, tests and tools.
void sfx_close();

// Plays one buffer and blocks until the device has released it: 500 ms, then every 100 ms.
// Needs the device open. Returns 0 once released; SFX_PLAY_REFUSED when nothing could be played
// (no device, or the device still holds an effect). The game does not use it.
constexpr int SFX_PLAY_REFUSED = -1;
int sfx_play_wait(const void* data, uint32_t bytes);
