// The computer players' tournament: many seeded games per level of the headless game, played
// through the menu and the keys as at the real screen, and a table of who won.
//   computer_tournament [GAMES_PER_LEVEL [SEED]]
// Per level: one computer against a person who turns at random (the two swap slots from game to
// game), then four computers against each other. It prints each level's wins and the totals:
// the computer's share against the random turner, each slot's share among computers, games
// without a winner and games ended because only computers were left for UNDECIDED_STEPS steps.
// A tool, not a test: it never fails, it reports.
#include "audio/sfx.h"
#include "engine/frame_state.h"
#include "game/computer_players.h"
#include "game/key_codes.h"
#include "game/music_request.h"
#include "game/rounds.h"
#include "game_harness.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr int32_t DEFAULT_GAMES = 100;
constexpr int32_t START_KEY = 'S';
constexpr int32_t LONGEST_MENU_WAIT = 200; // ticks in the menu before a start, for varied seeds
constexpr int32_t TURN_CHANCE = 20;        // the random turner presses once in so many ticks
constexpr int64_t LONGEST_GAME = 200'000;  // ticks; never reached while the game keeps its rules
constexpr std::array<std::array<int32_t, 2>, 2> TURN_KEYS = {{{KEY_Q, KEY_W}, {KEY_LEFT, KEY_RIGHT}}};

struct Result {
    int32_t winner = NO_WINNER;
    bool ran_out = false; // ended by the computers-only limit
    int32_t steps = 0;
};

// One game from a fresh start on `level` with `count` players; `computers` marks the computer
// slots; the others turn at random.
Result play(int32_t level, int32_t count, const std::array<bool, PLAYER_SLOTS>& computers,
            std::mt19937& random) {
    harness_start();
    music_state = MUSIC_OFF; // no song thread for thousands of games
    current_level = level;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        computer_slots[slot] = computers[slot];
    player_count = count;
    harness_enter_gameplay();
    harness_tick(static_cast<int32_t>(random() % LONGEST_MENU_WAIT));
    harness_press(START_KEY);
    harness_tick();
    Result result;
    for (int64_t t = 0; t < LONGEST_GAME && game_state < STATE_OVER; ++t) {
        for (int32_t slot = 0; slot < count && slot < 2; ++slot)
            if (!computers[slot] && random() % TURN_CHANCE == 0) harness_press(TURN_KEYS[slot][random() % 2]);
        const bool was_playing = game_state == STATE_PLAYING;
        harness_tick();
        const bool stepped = (frame_count - state_start_frame) % step_period == 0;
        result.steps += stepped && (was_playing || game_state == STATE_PLAYING);
    }
    int32_t standing = 0;
    for (int32_t slot = 0; slot < count; ++slot) {
        standing += players[slot].alive != 0;
        if (players[slot].score > 0) result.winner = slot;
    }
    result.ran_out = standing > 1;
    harness_stop();
    return result;
}

double percent(int64_t part, int64_t whole) {
    return whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

} // namespace

int main(int argc, char** argv) {
    const int32_t games = argc > 1 ? std::atoi(argv[1]) : DEFAULT_GAMES;
    const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 2013;
    std::mt19937 random(seed);
    // The effects without their tone: its render prints its notes, which belong to no table, and
    // nobody hears a tournament.
    sfx_open();
    sfx_module.state = SFX_READY;
    std::printf("%d games per level and pairing, seed %u\n\n", games, seed);
    std::printf("level | computer vs random turner: computer, random, none, avg steps | four computers: "
                "slot 1, 2, 3, 4, none (of them 40-step ends), avg steps\n");
    int64_t duel_games = 0, duel_wins = 0, duel_losses = 0, four_games = 0, four_none = 0, four_ran_out = 0;
    std::array<int64_t, PLAYER_SLOTS> slot_wins{};
    for (int32_t level = 0; level < LEVEL_COUNT; ++level) {
        int32_t wins = 0, losses = 0, duel_steps = 0;
        for (int32_t g = 0; g < games; ++g) {
            const int32_t computer = g % 2;
            std::array<bool, PLAYER_SLOTS> computers{};
            computers[computer] = true;
            const Result r = play(level, 2, computers, random);
            wins += r.winner == computer;
            losses += r.winner == 1 - computer;
            duel_steps += r.steps;
        }
        std::array<int32_t, PLAYER_SLOTS> level_slot_wins{};
        int32_t none = 0, ran_out = 0, four_steps = 0;
        for (int32_t g = 0; g < games; ++g) {
            const Result r = play(level, 4, {true, true, true, true}, random);
            if (r.winner == NO_WINNER)
                ++none;
            else
                ++level_slot_wins[r.winner];
            ran_out += r.ran_out;
            four_steps += r.steps;
        }
        std::printf("%5d | %5.1f %% %5.1f %% %5.1f %% %5.1f | %5.1f %% %5.1f %% %5.1f %% %5.1f %% %5.1f %% "
                    "(%d) %5.1f\n",
                    level, percent(wins, games), percent(losses, games),
                    percent(games - wins - losses, games), static_cast<double>(duel_steps) / games,
                    percent(level_slot_wins[0], games), percent(level_slot_wins[1], games),
                    percent(level_slot_wins[2], games), percent(level_slot_wins[3], games),
                    percent(none, games), ran_out, static_cast<double>(four_steps) / games);
        std::fflush(stdout);
        duel_games += games;
        duel_wins += wins;
        duel_losses += losses;
        four_games += games;
        four_none += none;
        four_ran_out += ran_out;
        for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
            slot_wins[slot] += level_slot_wins[slot];
    }
    std::printf(
        "\ncomputer vs random turner: computer won %.1f %%, lost %.1f %%, no winner %.1f %% of %lld games\n",
        percent(duel_wins, duel_games), percent(duel_losses, duel_games),
        percent(duel_games - duel_wins - duel_losses, duel_games), static_cast<long long>(duel_games));
    std::printf(
        "four computers: slot 1 %.1f %%, slot 2 %.1f %%, slot 3 %.1f %%, slot 4 %.1f %%, no winner %.1f %% "
        "of %lld games; %lld ended after %d steps with only computers standing\n",
        percent(slot_wins[0], four_games), percent(slot_wins[1], four_games),
        percent(slot_wins[2], four_games), percent(slot_wins[3], four_games), percent(four_none, four_games),
        static_cast<long long>(four_games), static_cast<long long>(four_ran_out), UNDECIDED_STEPS);
    return 0;
}
