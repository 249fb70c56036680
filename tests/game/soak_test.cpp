// Random play for a long while: presses and clicks of every kind (the menu's keys, Escape and
// Space into the credits and back) over random levels and player counts, with slots handed to
// the computer and back at random. The game must keep
// its tables within bounds, its board and players sound, and always come back to the menu.
// QUIBBET_SOAK_TICKS and QUIBBET_SOAK_SEED set the run; it prints the maxima it saw.
#include "game/clouds.h"
#include "game/computer_players.h"
#include "game/key_codes.h"
#include "game/menu.h"
#include "game/music_request.h"
#include "game/tweens.h"
#include "game_fixture.h"
#include "random_player.h"
#include "test_song.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr int64_t DEFAULT_TICKS = 100'000;
// Clouds, board, players, score panel, overlay and menu (everything the gameplay scene makes),
// and the credits picture over them.
constexpr int32_t MOST_SPRITES =
    CLOUD_COUNT + BOARD_TILES + PLAYER_SLOTS + SCORE_SPRITES_PER_SLOT * PLAYER_SLOTS + 1 + MENU_SPRITES + 1;
// Three clouds, and per player a slide and a pulse with room to overlap.
constexpr int32_t MOST_TWEENS = 32;
// Random turns cannot keep a player alive on wearing tiles for long; a game that lasts this
// long has got stuck.
constexpr int64_t LONGEST_AWAY_FROM_MENU = 40'000;
constexpr int SONG_ROWS = 16;

int64_t env_number(const char* name, int64_t fallback) {
    const char* text = std::getenv(name);
    return text ? std::strtoll(text, nullptr, 10) : fallback;
}

using Soak = GameTest;

TEST_F(Soak, RandomPlayKeepsTheGameSoundAndComingBackToTheMenu) {
    const int64_t ticks = env_number("QUIBBET_SOAK_TICKS", DEFAULT_TICKS);
    harness_song(test_song(SONG_ROWS)); // the music switch and the ends of games start it
    RandomPlayer player(static_cast<uint32_t>(env_number("QUIBBET_SOAK_SEED", 1)));
    int32_t most_sprites = 0, most_tweens = 0;
    int64_t away_from_menu = 0, longest_away = 0, menus = 0, credits_visits = 0, music_switched_off = 0;
    std::array<int64_t, LEVEL_COUNT> games_on_level{};
    std::array<int64_t, PLAYER_SLOTS + 1> games_with_players{}, games_with_computers{};
    int32_t state_before = game_state, music_before = music_state;
    for (int64_t t = 0; t < ticks; ++t) {
        const bool in_credits = harness_scene() == "credits";
        player.act();
        harness_tick();
        credits_visits += !in_credits && harness_scene() == "credits";

        most_sprites = std::max(most_sprites, sprite_count);
        most_tweens = std::max(most_tweens, tween_count);
        ASSERT_LE(sprite_count, MOST_SPRITES) << "tick " << t;
        ASSERT_LE(tween_count, MOST_TWEENS) << "tick " << t;
        ASSERT_TRUE(
            std::all_of(tile_grid.begin(), tile_grid.end(), [](uint8_t k) { return k <= TILE_FRAGILE; }));
        ASSERT_GE(player_count, MIN_PLAYERS);
        ASSERT_LE(player_count, PLAYER_SLOTS);
        for (int32_t p = 0; p < player_count; ++p) {
            const PlayerState& s = players[p];
            if (!s.alive) continue;
            ASSERT_TRUE(cell_on_board(s.col, s.row)) << "tick " << t << ", player " << p + 1;
            ASSERT_NE(tile_grid[tile_index(s.col, s.row)], TILE_HOLE) << "tick " << t << ", player " << p + 1;
        }

        if (game_state == STATE_MENU) {
            menus += state_before != STATE_MENU;
            away_from_menu = 0;
        } else if (harness_scene() == "gameplay") {
            if (state_before == STATE_MENU) {
                ++games_on_level[current_level];
                ++games_with_players[player_count];
                ++games_with_computers[std::count_if(computer_slots.begin(),
                                                     computer_slots.begin() + player_count,
                                                     [](int32_t c) { return c != 0; })];
            }
            longest_away = std::max(longest_away, ++away_from_menu);
            ASSERT_LT(away_from_menu, LONGEST_AWAY_FROM_MENU) << "tick " << t << ": no way back to the menu";
        }
        state_before = game_state;
        music_switched_off += music_before != MUSIC_OFF && music_state == MUSIC_OFF;
        music_before = music_state;
    }
    const int64_t levels_played =
        std::count_if(games_on_level.begin(), games_on_level.end(), [](int64_t n) { return n > 0; });
    std::printf(
        "%lld ticks: most sprites %d, most tweens %d, %lld returns to the menu, longest away %lld ticks, "
        "%lld credits visits, music switched off %lld times, games on %lld of %d levels, with 2, 3, 4 "
        "players: %lld, %lld, %lld; with 0 to 4 computers: %lld, %lld, %lld, %lld, %lld\n",
        static_cast<long long>(ticks), most_sprites, most_tweens, static_cast<long long>(menus),
        static_cast<long long>(longest_away), static_cast<long long>(credits_visits),
        static_cast<long long>(music_switched_off), static_cast<long long>(levels_played), LEVEL_COUNT,
        static_cast<long long>(games_with_players[2]), static_cast<long long>(games_with_players[3]),
        static_cast<long long>(games_with_players[4]), static_cast<long long>(games_with_computers[0]),
        static_cast<long long>(games_with_computers[1]), static_cast<long long>(games_with_computers[2]),
        static_cast<long long>(games_with_computers[3]), static_cast<long long>(games_with_computers[4]));
    EXPECT_GT(menus, ticks / 20'000);
    EXPECT_GT(credits_visits, 0);
}

} // namespace
