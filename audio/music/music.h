// The music player's public interface: start a module, stop it, and steer it while it plays.
// Limits: one song at a time; 48,000 Hz 16-bit stereo through one audio device.
// Threads: every call comes from the game thread. While a song plays, an output thread of the
// player mixes it; the calls here only exchange single atomic words with that thread, except
// music_start and music_stop, which wait for it to end before they touch the device and memory.
#pragma once
#include <cstdint>

// music_start flags. Without MUSIC_FROM_MEMORY or MUSIC_FROM_FILE the module is a named resource.
constexpr uint32_t MUSIC_FROM_MEMORY = 1; // source: block address, size_or_module: its byte count
constexpr uint32_t MUSIC_FROM_FILE = 2;   // source: file name, size_or_module ignored
constexpr uint32_t MUSIC_LOOP = 8;        // at the end go on from the restart order
constexpr uint32_t MUSIC_PAUSED = 16;     // start silent until music_resume

constexpr int MUSIC_VOLUME_LEVELS = 26;
constexpr int32_t MUSIC_UNITY_VOLUME = 32768;

// Called by the game (menus, logo scene) and the quibbet-xm tool. Stops any playing music first;
// with a null source that is all it does. Otherwise loads the module, fills the output ring and
// starts the output thread. For a resource, size_or_module is the module that holds it (0 for the
// program itself). False when the module does not load or no device or thread can be had; the
// player is then idle.
bool music_start(const void* source, uintptr_t size_or_module, uint32_t flags);

// Ends playback and frees the song; waits for the output thread first. Safe when idle.
void music_stop();

// Level 0 (silent, the song still advances) to 25 (unity), 2 dB a step; the level is read as
// unsigned, so -1 and anything above 25 mean 25. Returns the factor (32,768 = unity). Heard from
// the next chunk mixed on; kept across songs.
int32_t music_set_volume(int level);

void music_pause();
void music_resume();

// The song goes on from that order (order 0 when it is not below the song length), row 0, at
// the next row.
void music_set_order(int order);

// Queries about the chunk being heard: left average magnitude in the high half, right in the low.
uint32_t music_levels();
// order x 65,536 + row of the chunk being heard.
uint32_t music_position();
// Milliseconds of song mixed since the start (paused time not counted).
uint32_t music_time_ms();

// True from a successful music_start until music_stop or until a song that does not loop has
// ended and its last sound has been played out.
bool music_playing();
