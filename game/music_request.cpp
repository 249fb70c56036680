#include "game/music_request.h"

#include "audio/music/music.h"
#include "game/sounds.h"

int32_t music_state = MUSIC_REQUESTED;
const EmbeddedAsset* music_song;

void music_request_start() {
    if (music_state == MUSIC_OFF || !music_song) return;
    if (tick_silent) {
        music_state = MUSIC_STARTED; // as a sounding tick leaves it, whether it started or played on
        return;
    }
    if (music_state == MUSIC_STARTED && music_playing()) return;
    music_state = MUSIC_STARTED;
    music_set_volume(MUSIC_LEVEL);
    music_start(music_song->data, music_song->size, MUSIC_FROM_MEMORY);
}

void music_request_stop() {
    music_state = MUSIC_OFF;
    if (!tick_silent) music_start(nullptr, 0, 0); // a start without a module only stops
}
