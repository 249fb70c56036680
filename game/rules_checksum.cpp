#include "game/rules_checksum.h"

#include "engine/frame_state.h"
#include "engine/scene.h"
#include "game/board.h"
#include "game/computer_players.h"
#include "game/players.h"
#include "game/rounds.h"

#include <bit>

namespace {

// FNV-1a over 64 bits, fed whole 32-bit words as four little-endian bytes.
constexpr uint64_t FNV_OFFSET = 14695981039346656037ull;
constexpr uint64_t FNV_PRIME = 1099511628211ull;

struct Hash {
    uint64_t value = FNV_OFFSET;
    void byte(uint8_t b) {
        value ^= b;
        value *= FNV_PRIME;
    }
    void word(uint32_t w) {
        for (int shift = 0; shift < 32; shift += 8)
            byte(static_cast<uint8_t>(w >> shift));
    }
    void number(int32_t n) { word(static_cast<uint32_t>(n)); }
};

} // namespace

uint64_t rules_checksum() {
    Hash h;
    for (uint8_t tile : tile_grid)
        h.byte(tile);
    h.number(current_level);
    h.number(player_count);
    h.number(step_period);
    // The slots beyond the player count hold whatever an earlier game left; only their choice of
    // steering lasts.
    for (int32_t p = 0; p < PLAYER_SLOTS; ++p) {
        h.number(computer_slots[p]);
        if (p >= player_count) continue;
        const PlayerState& s = players[p];
        for (int32_t n : {s.col, s.row, s.prev_col, s.prev_row, s.target_col, s.target_row, s.facing,
                          s.prev_facing, s.alive, s.score})
            h.number(n);
        h.word(std::bit_cast<uint32_t>(player_sprite(p).rotation));
        h.number(computer_plans[p].lead);
        h.number(computer_plans[p].decided);
    }
    h.number(last_ticks_to_step);
    h.word(chance_state);
    h.word(game_seed);
    h.number(game_state);
    h.number(state_start_frame);
    h.number(steps_without_person);
    h.number(frame_count);
    h.number(current_scene);
    return h.value;
}
