#include "game/music_request.h"

#include "audio/music/music.h"

int32_t music_state = MUSIC_REQUESTED;
const EmbeddedAsset* music_song;

void music_request_start() {
    if (music_state == MUSIC_OFF || !music_song) return;
    if (music_state == MUSIC_STARTED && music_playing()) return;
    music_state = MUSIC_STARTED;
    music_set_volume(MUSIC_LEVEL);
    music_start(music_song->data, music_song->size, MUSIC_FROM_MEMORY);
}
