#include "game/snapshot.h"

#include "audio/sfx.h"
#include "engine/frame_state.h"
#include "engine/scene.h"
#include "engine/sprite_pool.h"
#include "game/board.h"
#include "game/clouds.h"
#include "game/computer_players.h"
#include "game/intro.h"
#include "game/logo.h"
#include "game/menu.h"
#include "game/music_request.h"
#include "game/players.h"
#include "game/rounds.h"
#include "game/scores.h"
#include "game/turn_keys.h"
#include "game/tweens.h"

#include <array>
#include <cstring>
#include <numeric>

namespace {

#define QUIBBET_REGION(table)                                                                                \
    SnapshotRegion {                                                                                         \
#table, &(table), sizeof(table)                                                                      \
    }

constexpr std::array REGIONS = {
    // the engine's
    QUIBBET_REGION(sprite_pool),
    QUIBBET_REGION(sprite_count),
    QUIBBET_REGION(frame_count),
    QUIBBET_REGION(clear_red),
    QUIBBET_REGION(clear_green),
    QUIBBET_REGION(clear_blue),
    QUIBBET_REGION(current_scene),
    QUIBBET_REGION(skip_next_enter),
    QUIBBET_REGION(sprite_scene_mark),
    // the menu's effects switch, which the effects module keeps
    QUIBBET_REGION(sfx_enabled),
    // the game's
    QUIBBET_REGION(tween_table),
    QUIBBET_REGION(tween_count),
    QUIBBET_REGION(cloud_sprites),
    QUIBBET_REGION(tile_grid),
    QUIBBET_REGION(current_level),
    QUIBBET_REGION(board_first_sprite),
    QUIBBET_REGION(player_first_sprite),
    QUIBBET_REGION(players),
    QUIBBET_REGION(player_count),
    QUIBBET_REGION(step_period),
    QUIBBET_REGION(computer_slots),
    QUIBBET_REGION(computer_plans),
    QUIBBET_REGION(last_ticks_to_step),
    QUIBBET_REGION(chance_state),
    QUIBBET_REGION(game_state),
    QUIBBET_REGION(state_start_frame),
    QUIBBET_REGION(overlay_sprite),
    QUIBBET_REGION(steps_without_person),
    QUIBBET_REGION(game_seed),
    QUIBBET_REGION(score_panel_first_sprite),
    QUIBBET_REGION(menu_first_sprite),
    QUIBBET_REGION(controls_first_sprite),
    QUIBBET_REGION(menu_x),
    QUIBBET_REGION(menu_y),
    QUIBBET_REGION(sound_x),
    QUIBBET_REGION(sound_y),
    QUIBBET_REGION(music_state),
    QUIBBET_REGION(intro_start_frame),
    QUIBBET_REGION(logo_start_frame),
    QUIBBET_REGION(menu_remap),
    QUIBBET_REGION(player_controls),
};

#undef QUIBBET_REGION

const size_t TOTAL = std::accumulate(REGIONS.begin(), REGIONS.end(), size_t{0},
                                     [](size_t sum, const SnapshotRegion& r) { return sum + r.size; });

} // namespace

std::span<const SnapshotRegion> snapshot_regions() {
    return REGIONS;
}

size_t snapshot_size() {
    return TOTAL;
}

bool snapshot_save(std::span<uint8_t> buffer) {
    if (buffer.size() < TOTAL) return false;
    uint8_t* at = buffer.data();
    for (const SnapshotRegion& r : REGIONS) {
        std::memcpy(at, r.address, r.size);
        at += r.size;
    }
    return true;
}

bool snapshot_restore(std::span<const uint8_t> buffer) {
    if (buffer.size() < TOTAL) return false;
    const uint8_t* at = buffer.data();
    for (const SnapshotRegion& r : REGIONS) {
        std::memcpy(r.address, at, r.size);
        at += r.size;
    }
    return true;
}
