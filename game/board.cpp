#include "game/board.h"

#include "assets/embedded_arrays.h"
#include "engine/image_table.h"

#include <cstring>

TileGrid tile_grid;
int32_t current_level;
int32_t board_first_sprite;
int32_t player_first_sprite;

namespace {

static_assert(sizeof(asset_level_table_bin) == LEVEL_COUNT * sizeof(LevelRecord));

constexpr float DEGREES_PER_FACING = 90.0f;

// Images by tile kind. The hole's name is in no atlas: its lookup fails and the sprite draws
// nothing.
constexpr std::array<const char*, TILE_FRAGILE + 1> TILE_IMAGES = {
    "abc.png", "tile003.png", "tile002.png", "tile001.png", "tile004.png", "tile005.png"};

Sprite& tile_sprite(int32_t index) {
    return sprite_pool[board_first_sprite + index];
}

} // namespace

LevelRecord level_record(int32_t level) {
    if (level < 0 || level >= LEVEL_COUNT) level = 0;
    LevelRecord record;
    std::memcpy(&record, asset_level_table_bin + level * sizeof(LevelRecord), sizeof record);
    return record;
}

void level_load() {
    const LevelRecord level = level_record(current_level);
    for (int32_t p = 0; p < PLAYER_SLOTS; ++p)
        player_sprite(p).visible = 0;
    for (int32_t p = 0; p < player_count; ++p) {
        const LevelStart& start = level.starts[p];
        PlayerState& player = players[p];
        player.col = start.col;
        player.row = start.row;
        player.facing = player.prev_facing = start.facing;
        player.alive = 1;
        Sprite& s = player_sprite(p);
        s.visible = 1;
        s.scale = BOARD_SCALE;
        s.x = cell_x(player.col);
        s.y = cell_y(player.row);
        s.rotation = DEGREES_PER_FACING * static_cast<float>(player.facing);
    }
    tile_grid = level.tiles;
    for (int32_t i = 0; i < BOARD_TILES; ++i) {
        Sprite& s = tile_sprite(i);
        s.visible = 1;
        s.scale = BOARD_SCALE;
        tile_refresh(i);
    }
}

void tile_refresh(int32_t index) {
    if (index < 0 || index >= BOARD_TILES) return;
    const uint8_t kind = tile_grid[index];
    if (kind < TILE_IMAGES.size()) tile_sprite(index).image = image_find(TILE_IMAGES[kind]);
}

void tile_wear(int32_t index) {
    if (index < 0 || index >= BOARD_TILES) return;
    uint8_t& kind = tile_grid[index];
    if (kind == TILE_FRAGILE)
        kind = TILE_HOLE;
    else if (kind >= TILE_WORN2 && kind <= TILE_WHOLE)
        --kind;
    tile_refresh(index);
}
