#include "game/game_init.h"

#include "engine/scene.h"
#include "game/board.h"
#include "game/clouds.h"
#include "game/credits.h"
#include "game/intro.h"
#include "game/logo.h"
#include "game/music_request.h"
#include "game/rounds.h"
#include "game/settings.h"
#include "game/sprite_make.h"

void game_init() {
    scene_install("intro", intro_enter, intro_update);
    scene_install("logo", logo_enter, logo_update);
    scene_install("gameplay", gameplay_enter, gameplay_update);
    scene_install("credits", credits_enter, credits_update);
    clouds_reset();
    // A tile's image comes with the first level loaded; players are placed by it too.
    board_first_sprite = sprite_count;
    for (int32_t row = 0; row < BOARD_ROWS; ++row)
        for (int32_t col = 0; col < BOARD_COLUMNS; ++col)
            sprite_make(nullptr, cell_x(col), cell_y(row), BOARD_SCALE, 0);
    player_first_sprite = sprite_count;
    for (const char* image : PLAYER_IMAGES)
        sprite_make(image, 0, 0, BOARD_SCALE, 0);
    music_song = embedded_asset_find(SONG_ASSET);
    settings_load();
}
