// Asking for the song: the title screen, the end of every game and the menu's music switch
// start the embedded song through the music player, unless it is switched off or still
// playing. Main thread only; the player mixes on a thread of its own.
#pragma once
#include "assets/embedded.h"

#include <cstdint>

constexpr int32_t MUSIC_OFF = -1;      // switched off in the menu
constexpr int32_t MUSIC_REQUESTED = 0; // a start is wanted
constexpr int32_t MUSIC_STARTED = 100;
constexpr int32_t MUSIC_LEVEL = 25; // the player's loudest level
constexpr const char* SONG_ASSET = "song.xm";

extern int32_t music_state; // MUSIC_REQUESTED at start

// The module the requests play: the embedded SONG_ASSET, looked up at start-up; null while the
// program carries none, and then a request does nothing. Tests may point it at a module of
// their own.
extern const EmbeddedAsset* music_song;

// Starts the song from its beginning at MUSIC_LEVEL unless the music is off or the song still
// plays. A song that has played to its end counts as no longer playing, so the next request
// (the end of a game) starts it again.
void music_request_start();

// The menu's switch turning the music off: stops the song and keeps it off.
void music_request_stop();
