// The board: the live grid of 13 x 10 tiles the players walk on, the 17 stored levels, loading
// one of them, and the tile sprites that show the grid. A tile wears each time a step begins
// with a player on it, down to a hole; a solid tile and kinds above TILE_FRAGILE never wear.
// A hole's image name is in no atlas, so its sprite draws nothing and the sky shows through.
// Main thread only.
#pragma once
#include <array>
#include <cstdint>

constexpr int PLAYER_SLOTS = 4; // a level holds a start for each
constexpr int32_t BOARD_COLUMNS = 13;
constexpr int32_t BOARD_ROWS = 10;
constexpr int32_t BOARD_TILES = BOARD_COLUMNS * BOARD_ROWS;
constexpr int32_t LEVEL_COUNT = 17;
// Cell (col, row) is drawn with its image box's corner at (40 + 40 col, 40 + 40 row).
constexpr int32_t BOARD_LEFT = 40, BOARD_TOP = 40, CELL_PITCH = 40;
constexpr float BOARD_SCALE = 0.6f; // tiles and players: 64-pixel images on a 40-pixel pitch

constexpr uint8_t TILE_HOLE = 0;
constexpr uint8_t TILE_WORN2 = 1;
constexpr uint8_t TILE_WORN1 = 2;
constexpr uint8_t TILE_WHOLE = 3;
constexpr uint8_t TILE_SOLID = 4;
constexpr uint8_t TILE_FRAGILE = 5;

// Row-major: tile (col, row) at row x 13 + col.
using TileGrid = std::array<uint8_t, BOARD_TILES>;
extern TileGrid tile_grid;

struct LevelStart {
    uint8_t col, row, facing;
};
// One stored level as the embedded table holds it, 142 bytes.
struct LevelRecord {
    TileGrid tiles;
    std::array<LevelStart, PLAYER_SLOTS> starts;
};
static_assert(sizeof(LevelRecord) == 142);

extern int32_t current_level;       // 0 .. LEVEL_COUNT - 1; only the menu changes it
extern int32_t board_first_sprite;  // pool index of tile 0's sprite
extern int32_t player_first_sprite; // pool index of player 1's sprite

constexpr int32_t cell_x(int32_t col) {
    return BOARD_LEFT + CELL_PITCH * col;
}
constexpr int32_t cell_y(int32_t row) {
    return BOARD_TOP + CELL_PITCH * row;
}
constexpr bool cell_on_board(int32_t col, int32_t row) {
    return col >= 0 && col < BOARD_COLUMNS && row >= 0 && row < BOARD_ROWS;
}
constexpr int32_t tile_index(int32_t col, int32_t row) {
    return row * BOARD_COLUMNS + col;
}

// Stored level `level` (0 .. LEVEL_COUNT - 1).
LevelRecord level_record(int32_t level);

// Copies a level's grid into the live board and shows every tile; the players' part of loading
// a level is level_load's (players.h).
void board_load(const LevelRecord& level);

// Gives tile index's sprite the image of its kind; kinds above TILE_FRAGILE keep theirs.
void tile_refresh(int32_t index);

// A kind after one use: kinds 1 to 3 drop by one, a fragile tile breaks at once, the others stay.
constexpr uint8_t tile_worn(uint8_t kind) {
    if (kind == TILE_FRAGILE) return TILE_HOLE;
    if (kind >= TILE_WORN2 && kind <= TILE_WHOLE) return static_cast<uint8_t>(kind - 1);
    return kind;
}

// One use of the tile at index, then its sprite follows.
void tile_wear(int32_t index);
