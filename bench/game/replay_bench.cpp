// What replays and rolling back cost: a snapshot's size and the time to save and to restore it,
// the time to restore and run 8 ticks again (silent, as a re-run is), and from a set of
// recorded games the bytes a minute of play takes in a replay file and the ticks per second a
// replay plays at headless. Numbers only: snapshot_bytes, replay_bytes_per_minute, and
// items_per_second (ticks per second) where ticks are run.
#include "game/game_tick.h"
#include "game/key_codes.h"
#include "game/rules_checksum.h"
#include "game/snapshot.h"
#include "game/sounds.h"
#include "online/replay_playback.h"
#include "recorded_games.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int32_t FOUR_PLAYERS_X = 328, FOUR_PLAYERS_Y = 208;
constexpr int32_t RERUN_TICKS = 8;
constexpr int32_t RECORDED_GAMES = 60;
constexpr double TICKS_PER_MINUTE = 60.0 * 1000.0 / 25.0;

// Four players well into a game on level 1, so the tables hold what play puts there.
void game_under_way() {
    harness_start();
    harness_enter_gameplay();
    harness_click(FOUR_PLAYERS_X, FOUR_PLAYERS_Y);
    harness_press('S');
    harness_tick(2 + COUNTDOWN_END + 3 * 30);
}

void BM_SnapshotSave(benchmark::State& state) {
    game_under_way();
    std::vector<uint8_t> buffer(snapshot_size());
    for (auto _ : state) {
        snapshot_save(buffer);
        benchmark::ClobberMemory();
    }
    state.counters["snapshot_bytes"] = static_cast<double>(snapshot_size());
    harness_stop();
}
BENCHMARK(BM_SnapshotSave)->Unit(benchmark::kMicrosecond);

void BM_SnapshotRestore(benchmark::State& state) {
    game_under_way();
    std::vector<uint8_t> buffer(snapshot_size());
    snapshot_save(buffer);
    for (auto _ : state) {
        snapshot_restore(buffer);
        benchmark::ClobberMemory();
    }
    harness_stop();
}
BENCHMARK(BM_SnapshotRestore)->Unit(benchmark::kMicrosecond);

// A roll back of 8 ticks: the restore and the 8 ticks run again.
void BM_RestoreAndRunEightTicksAgain(benchmark::State& state) {
    game_under_way();
    std::vector<uint8_t> buffer(snapshot_size());
    snapshot_save(buffer);
    TickInput turn{};
    tick_input_add(turn, {KEY_W, 0, 0, EVENT_KEY, 0, TURN_RIGHT});
    tick_silent = true;
    for (auto _ : state) {
        snapshot_restore(buffer);
        for (int32_t t = 0; t < RERUN_TICKS; ++t)
            game_tick(t == 3 ? turn : TickInput{});
        benchmark::DoNotOptimize(rules_checksum());
    }
    tick_silent = false;
    state.SetItemsProcessed(state.iterations() * RERUN_TICKS);
    harness_stop();
}
BENCHMARK(BM_RestoreAndRunEightTicksAgain)->Unit(benchmark::kMicrosecond);

std::vector<std::string> recorded_games() {
    static const std::vector<std::string> games = [] {
        std::vector<std::string> all;
        games_record(RECORDED_GAMES, 1,
                     [&](const std::string&, const std::string& bytes) { all.push_back(bytes); });
        return all;
    }();
    return games;
}

// All the recorded games, one after another, as the headless player plays them.
void BM_ReplayPlayback(benchmark::State& state) {
    const std::vector<std::string> games = recorded_games();
    harness_start();
    harness_enter_gameplay();
    tick_silent = true;
    int64_t ticks = 0, bytes = 0;
    for (auto _ : state) {
        for (const std::string& g : games) {
            std::array<char, REPLAY_MESSAGE_MAX> message{};
            replay_playback_open({reinterpret_cast<const uint8_t*>(g.data()), g.size()}, message);
            replay_playback_start();
            TickInput input;
            while (replay_playback_next(input)) {
                game_tick(input);
                ++ticks;
            }
            bytes += static_cast<int64_t>(g.size());
        }
    }
    tick_silent = false;
    state.SetItemsProcessed(ticks);
    state.counters["replay_bytes_per_minute"] =
        static_cast<double>(bytes) / (static_cast<double>(ticks) / TICKS_PER_MINUTE);
    harness_stop();
}
BENCHMARK(BM_ReplayPlayback)->Unit(benchmark::kMillisecond);

} // namespace
