// Ticks per second of the headless game in play: four players on level 1, turning now and then,
// a new game as soon as the menu is back. One iteration is one tick as the main loop runs it
// (scene_dispatch, then the effects pump); the second benchmark adds the sprite batch that every
// drawing pass builds. items_per_second is ticks per second.
#include "assets/atlas_images.h"
#include "audio/sfx.h"
#include "engine/frame_state.h"
#include "engine/scene.h"
#include "engine/sprite_quad.h"
#include "game/key_codes.h"
#include "game/rounds.h"
#include "game_harness.h"

#include <array>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr std::array<int32_t, 6> TURN_KEYS = {KEY_Q, KEY_W, KEY_LEFT, KEY_RIGHT, KEY_U, KEY_I};
constexpr int32_t FOUR_PLAYERS_X = 328, FOUR_PLAYERS_Y = 208, NEXT_LEVEL_X = 311, NEXT_LEVEL_Y = 266;
constexpr int32_t TICKS_BETWEEN_TURNS = 7;

void game_set_up() {
    harness_start();
    harness_enter_gameplay();
    harness_click(FOUR_PLAYERS_X, FOUR_PLAYERS_Y);
    harness_click(NEXT_LEVEL_X, NEXT_LEVEL_Y);
    harness_tick();
}

// One tick with the scripted players' presses.
void play_tick(std::mt19937& random) {
    if (game_state == STATE_MENU)
        harness_press('S');
    else if (frame_count % TICKS_BETWEEN_TURNS == 0)
        harness_press(TURN_KEYS[random() % TURN_KEYS.size()]);
    ++frame_count;
    scene_dispatch();
    sfx_pump();
}

void BM_GameTick(benchmark::State& state) {
    game_set_up();
    std::mt19937 random(2013);
    for (auto _ : state)
        play_tick(random);
    state.SetItemsProcessed(state.iterations());
    harness_stop();
}
BENCHMARK(BM_GameTick)->Unit(benchmark::kNanosecond);

void BM_GameTickAndSpriteBatch(benchmark::State& state) {
    game_set_up();
    std::mt19937 random(2013);
    for (auto _ : state) {
        play_tick(random);
        benchmark::DoNotOptimize(sprite_batch_build(ATLAS_SIZE));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    harness_stop();
}
BENCHMARK(BM_GameTickAndSpriteBatch)->Unit(benchmark::kNanosecond);

} // namespace
