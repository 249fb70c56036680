// Ticks per second of the headless game in play: four players on level 1, turning now and then,
// a new game as soon as the menu is back. One iteration is one tick as the main loop runs it
// (scene_dispatch, then the effects pump); the second benchmark adds the sprite batch that every
// drawing pass builds. items_per_second is ticks per second. The third times one computer
// player's decision in the situations of real games of four computers, level after level, and
// prints the slowest situation's cost beside the mean: worst_us, the median of five decisions
// there by this thread's own processor time (a busy machine's other work stretches single
// measurements, never three of five), and worst_single_us, the longest single one by the wall
// clock, stretches included.
#include "assets/atlas_images.h"
#include "audio/sfx.h"
#include "engine/frame_state.h"
#include "engine/scene.h"
#include "engine/sprite_quad.h"
#include "game/computer_players.h"
#include "game/game_tick.h"
#include "game/key_codes.h"
#include "game/music_request.h"
#include "game/rounds.h"
#include "game_harness.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
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
    TickInput input;
    tick_input_take(input);
    game_tick(input);
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

double thread_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Plays on to a tick of play in which some computer is standing, and returns its slot; from the
// menu it takes the next level and starts.
int32_t next_decision_situation() {
    for (;;) {
        if (game_state == STATE_MENU) {
            harness_click(NEXT_LEVEL_X, NEXT_LEVEL_Y);
            harness_press('S');
        }
        harness_tick();
        if (game_state != STATE_PLAYING) continue;
        for (int32_t i = 0; i < player_count; ++i) {
            const int32_t slot = (frame_count + i) % player_count;
            if (players[slot].alive) return slot;
        }
    }
}

void BM_ComputerDecision(benchmark::State& state) {
    harness_start();
    music_state = MUSIC_OFF;
    computer_slots = {1, 1, 1, 1};
    harness_enter_gameplay();
    harness_click(FOUR_PLAYERS_X, FOUR_PLAYERS_Y);
    constexpr int REPEATS = 5;
    double worst = 0, worst_single = 0;
    for (auto _ : state) {
        const int32_t slot = next_decision_situation();
        std::array<double, REPEATS> cpu{};
        for (double& c : cpu) {
            const double cpu_start = thread_seconds();
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(computer_decide(slot));
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            c = thread_seconds() - cpu_start;
            worst_single = std::max(worst_single, seconds);
            if (&c == &cpu[0]) state.SetIterationTime(seconds);
        }
        std::nth_element(cpu.begin(), cpu.begin() + REPEATS / 2, cpu.end());
        worst = std::max(worst, cpu[REPEATS / 2]);
    }
    state.counters["worst_us"] = worst * 1e6;
    state.counters["worst_single_us"] = worst_single * 1e6;
    harness_stop();
}
BENCHMARK(BM_ComputerDecision)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
