// The three clouds that drift across the sky behind every scene. Start-up creates them before
// any other sprite, so they are the first pool entries and are drawn under everything; each
// reset puts them back at their start points and sets them drifting for CLOUD_DRIFT_TICKS.
// The scenes reset them every CLOUD_CYCLE_TICKS. Main thread only.
#pragma once
#include "engine/sprite_pool.h"

#include <array>
#include <cstdint>

constexpr int CLOUD_COUNT = 3;
constexpr int32_t CLOUD_CYCLE_TICKS = 402;
constexpr int32_t CLOUD_RESET_PHASE = 401; // frame_count % CLOUD_CYCLE_TICKS that resets them
constexpr int32_t CLOUD_DRIFT_TICKS = 400;

// Null until the first clouds_reset.
extern std::array<Sprite*, CLOUD_COUNT> cloud_sprites;

// Called by game_init at start-up and by the scenes' updates on the reset phase.
void clouds_reset();

// The reset check every scene's update makes first.
void clouds_tick();
