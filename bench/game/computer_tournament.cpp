// The computer players' tournament: many seeded games per level of the headless game, played
// through the menu and the keys as at the real screen, and tables of who won.
//   computer_tournament [GAMES_PER_LEVEL [SEED]]
// Per level and pairing, two players, the two sides swapping slots from game to game: an easy
// and a normal computer each against a person who turns at random, a hard computer against a
// normal one, a normal against an easy one. Then four normal computers against each other (is
// any slot favoured?), and one person who never turns against three normal computers: how long
// the people wait from that person's fall to the end of the game, at the normal pace and as the
// game now hurries such an end. It prints each level's figures and the totals.
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
#include <vector>

namespace {

constexpr int32_t DEFAULT_GAMES = 100;
constexpr int32_t START_KEY = 'S';
constexpr int32_t LONGEST_MENU_WAIT = 200; // ticks in the menu before a start, for varied seeds
constexpr int32_t TURN_CHANCE = 20;        // the random turner presses once in so many ticks
constexpr int64_t LONGEST_GAME = 200'000;  // ticks; never reached while the game keeps its rules
constexpr double TICK_MS = 25.0;
constexpr std::array<std::array<int32_t, 2>, 2> TURN_KEYS = {{{KEY_Q, KEY_W}, {KEY_LEFT, KEY_RIGHT}}};
constexpr int32_t RANDOM_TURNER = COMPUTER_NONE, IDLE_PERSON = -1;

struct Pairing {
    const char* name;
    int32_t a, b; // a strength, or RANDOM_TURNER
};
constexpr std::array<Pairing, 4> PAIRINGS = {{
    {"easy vs random", COMPUTER_EASY, RANDOM_TURNER},
    {"normal vs random", COMPUTER_NORMAL, RANDOM_TURNER},
    {"hard vs normal", COMPUTER_HARD, COMPUTER_NORMAL},
    {"normal vs easy", COMPUTER_NORMAL, COMPUTER_EASY},
}};

struct Result {
    int32_t winner = NO_WINNER;
    bool ran_out = false;      // ended by the computers-only limit
    int64_t wait_ticks = 0;    // from the last person's fall to the end of the game
    double wait_fast_ms = 0.0; // the same wait as the game now paces it
};

// One game from a fresh start on `level`: each slot of `steering` is a computer strength, a
// random turner or an idle person.
Result play(int32_t level, const std::vector<int32_t>& steering, std::mt19937& random) {
    harness_start();
    music_state = MUSIC_OFF; // no song thread for thousands of games
    current_level = level;
    player_count = static_cast<int32_t>(steering.size());
    for (int32_t slot = 0; slot < player_count; ++slot)
        computer_slots[slot] = steering[slot] > 0 ? steering[slot] : COMPUTER_NONE;
    harness_enter_gameplay();
    harness_tick(static_cast<int32_t>(random() % LONGEST_MENU_WAIT));
    harness_press(START_KEY);
    harness_tick();
    Result result;
    for (int64_t t = 0; t < LONGEST_GAME && game_state < STATE_OVER; ++t) {
        for (int32_t slot = 0; slot < player_count && slot < 2; ++slot)
            if (steering[slot] == RANDOM_TURNER && random() % TURN_CHANCE == 0)
                harness_press(TURN_KEYS[slot][random() % 2]);
        bool person_standing = false;
        for (int32_t slot = 0; slot < player_count; ++slot)
            person_standing = person_standing || (steering[slot] <= 0 && players[slot].alive);
        if (!person_standing && game_state == STATE_PLAYING) {
            ++result.wait_ticks;
            result.wait_fast_ms += TICK_MS / gameplay_speed(); // as the main loop paces that tick
        }
        harness_tick();
    }
    int32_t standing = 0;
    for (int32_t slot = 0; slot < player_count; ++slot) {
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

struct Tally {
    int64_t games = 0, a = 0, b = 0;
    void add(const Tally& t) {
        games += t.games;
        a += t.a;
        b += t.b;
    }
};

Tally duel(int32_t level, const Pairing& pairing, int32_t games, std::mt19937& random) {
    Tally t;
    for (int32_t g = 0; g < games; ++g) {
        const int32_t a_slot = g % 2;
        std::vector<int32_t> steering(2);
        steering[a_slot] = pairing.a;
        steering[1 - a_slot] = pairing.b;
        const Result r = play(level, steering, random);
        ++t.games;
        t.a += r.winner == a_slot;
        t.b += r.winner == 1 - a_slot;
    }
    return t;
}

void print_duel(const Tally& t) {
    std::printf(" | %5.1f %5.1f %5.1f (%5.1f)", percent(t.a, t.games), percent(t.b, t.games),
                percent(t.games - t.a - t.b, t.games), percent(t.a, t.a + t.b));
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
    std::printf("%d games per level and pairing, seed %u\n", games, seed);
    std::printf("each pairing A vs B: A won %%, B won %%, no winner %%, (A's share of the decided games)\n\n");
    std::printf("level");
    for (const Pairing& p : PAIRINGS)
        std::printf(" | %-25s", p.name);
    std::printf(" | four normal: slot 1, 2, 3, 4, none (40-step ends) | idle person: wait s before, after\n");
    std::array<Tally, PAIRINGS.size()> totals{};
    int64_t four_games = 0, four_none = 0, four_ran_out = 0, idle_games = 0;
    std::array<int64_t, PLAYER_SLOTS> slot_wins{};
    double wait_before_ms = 0, wait_after_ms = 0;
    for (int32_t level = 0; level < LEVEL_COUNT; ++level) {
        std::printf("%5d", level + 1);
        for (size_t p = 0; p < PAIRINGS.size(); ++p) {
            const Tally t = duel(level, PAIRINGS[p], games, random);
            print_duel(t);
            totals[p].add(t);
        }
        std::array<int32_t, PLAYER_SLOTS> level_slot_wins{};
        int32_t none = 0, ran_out = 0;
        for (int32_t g = 0; g < games; ++g) {
            const Result r =
                play(level, {COMPUTER_NORMAL, COMPUTER_NORMAL, COMPUTER_NORMAL, COMPUTER_NORMAL}, random);
            if (r.winner == NO_WINNER)
                ++none;
            else
                ++level_slot_wins[r.winner];
            ran_out += r.ran_out;
        }
        double level_before = 0, level_after = 0;
        for (int32_t g = 0; g < games; ++g) {
            const Result r =
                play(level, {IDLE_PERSON, COMPUTER_NORMAL, COMPUTER_NORMAL, COMPUTER_NORMAL}, random);
            level_before += static_cast<double>(r.wait_ticks) * TICK_MS;
            level_after += r.wait_fast_ms;
        }
        std::printf(" | %5.1f %5.1f %5.1f %5.1f %5.1f (%d) | %5.1f %5.1f\n",
                    percent(level_slot_wins[0], games), percent(level_slot_wins[1], games),
                    percent(level_slot_wins[2], games), percent(level_slot_wins[3], games),
                    percent(none, games), ran_out, level_before / games / 1000.0,
                    level_after / games / 1000.0);
        std::fflush(stdout);
        four_games += games;
        four_none += none;
        four_ran_out += ran_out;
        for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
            slot_wins[slot] += level_slot_wins[slot];
        idle_games += games;
        wait_before_ms += level_before;
        wait_after_ms += level_after;
    }
    std::printf("\n");
    for (size_t p = 0; p < PAIRINGS.size(); ++p) {
        const Tally& t = totals[p];
        std::printf(
            "%-17s: A won %5.1f %%, B won %5.1f %%, no winner %5.1f %% of %lld games; A won %5.1f %% of "
            "the decided ones\n",
            PAIRINGS[p].name, percent(t.a, t.games), percent(t.b, t.games),
            percent(t.games - t.a - t.b, t.games), static_cast<long long>(t.games), percent(t.a, t.a + t.b));
    }
    std::printf(
        "four normal computers: slot 1 %.1f %%, slot 2 %.1f %%, slot 3 %.1f %%, slot 4 %.1f %%, no winner %.1f %% "
        "of %lld games; %lld ended after %d steps with only computers standing\n",
        percent(slot_wins[0], four_games), percent(slot_wins[1], four_games), percent(slot_wins[2], four_games),
        percent(slot_wins[3], four_games), percent(four_none, four_games), static_cast<long long>(four_games),
        static_cast<long long>(four_ran_out), UNDECIDED_STEPS);
    std::printf("idle person and three normal computers: from the person's fall to the end of the game %.1f s "
                "at the normal pace, %.1f s now (mean of %lld games)\n",
                wait_before_ms / idle_games / 1000.0, wait_after_ms / idle_games / 1000.0,
                static_cast<long long>(idle_games));
    return 0;
}
