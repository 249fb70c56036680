#include "game/board.h"

#include "assets/embedded_arrays.h"
#include "engine/image_table.h"
#include "engine/sprite_pool.h"

#include <cstring>

TileGrid tile_grid;
int32_t current_level;
int32_t board_first_sprite;
int32_t player_first_sprite;

namespace {

static_assert(sizeof(asset_level_table_bin) == LEVEL_COUNT * sizeof(LevelRecord));

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

void board_load(const LevelRecord& level) {
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
    tile_grid[index] = tile_worn(tile_grid[index]);
    tile_refresh(index);
}
