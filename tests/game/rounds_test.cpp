// Whole games: the countdown, the end of a game and the wait, scores and their digits, and
// leaving for the credits and coming back.
#include "engine/image_table.h"
#include "game/computer_players.h"
#include "game/key_codes.h"
#include "game/menu.h"
#include "game_fixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using Rounds = GameTest;

const Sprite& digit_sprite(int32_t slot) {
    return sprite_pool[score_panel_first_sprite + SCORE_SPRITES_PER_SLOT * slot + 2];
}

TEST_F(Rounds, CountdownShowsReadyThenGoThenTheFirstStep) {
    harness_press(ANY_KEY);
    harness_tick();
    const int32_t start = frame_count;
    EXPECT_EQ(game_state, STATE_COUNTDOWN);
    EXPECT_EQ(sprite_count, menu_first_sprite); // the menu is gone
    struct Mark {
        int32_t at;
        int32_t visible;
        const char* image;
    };
    for (const Mark& m :
         {Mark{1, 0, "overlayready.png"}, Mark{2, 1, "overlayready.png"}, Mark{32, 1, "overlayready.png"},
          Mark{33, 1, "overlaygo.png"}, Mark{63, 1, "overlaygo.png"}, Mark{64, 0, "overlaygo.png"}}) {
        harness_tick(start + m.at - frame_count);
        EXPECT_EQ(overlay_sprite->visible, m.visible) << "tick " << m.at;
        EXPECT_EQ(overlay_sprite->image, image_find(m.image)) << "tick " << m.at;
        EXPECT_EQ(game_state, m.at < COUNTDOWN_END ? STATE_COUNTDOWN : STATE_PLAYING) << "tick " << m.at;
        EXPECT_EQ(players[0].row, m.at < COUNTDOWN_END ? 2 : 3) << "tick " << m.at; // walks down
    }
    EXPECT_EQ(harness_effect_names(), std::vector<std::string>{"tic"});
    EXPECT_NEAR(overlay_sprite->scale, 2.5f, 0.01f);
}

TEST_F(Rounds, WonGameScoresOnceAndPulsesThreeTimesBeforeTheMenu) {
    play_until_first_step();
    harness_effects_clear();
    win_next_step(1);
    const int32_t decided = frame_count;
    EXPECT_EQ(players[0].score, 0);
    EXPECT_EQ(players[1].score, 1);
    EXPECT_EQ(digit_sprite(1).image, image_find("scorechar1.png"));
    harness_tick(118);
    EXPECT_EQ(game_state, STATE_MENU);
    const std::vector<HeardEffect> expected = {
        {decided, "death"}, {decided + 30, "winner"}, {decided + 60, "winner"}, {decided + 90, "winner"}};
    EXPECT_EQ(harness_effects(), expected);
    EXPECT_NEAR(player_sprite(1).scale, BOARD_SCALE, 0.01f); // the last pulse shrank back
}

// Steel never wears: computers alone on it would walk for ever. While a person stands the game
// goes on; from the step after the last person falls, 40 undecided steps end it with no winner,
// and until then the loop hurries the game's ticks.
TEST_F(Rounds, GameLeftToComputersEndsWithoutAWinnerFortyStepsAfterTheLastPerson) {
    click(players_key(3));
    click(controls_picture(1));
    click(controls_picture(2));
    play_until_first_step();
    board_fill(TILE_SOLID);
    player_place(0, 6, 5, FACING_UP);
    player_place(1, 1, 1, FACING_RIGHT);
    player_place(2, 11, 8, FACING_LEFT);
    for (int32_t step = 0; step < UNDECIDED_STEPS + 5; ++step) {
        harness_press(KEY_W); // player 1 walks round a square
        next_step();
    }
    ASSERT_EQ(game_state, STATE_PLAYING);
    ASSERT_EQ(players[0].alive, 1);
    EXPECT_EQ(gameplay_speed(), 1);
    player_place(0, 0, 5, FACING_LEFT);
    next_step();
    ASSERT_EQ(players[0].alive, 0);
    EXPECT_EQ(gameplay_speed(), FAST_END_SPEED);
    for (int32_t step = 1; step < UNDECIDED_STEPS; ++step)
        next_step();
    EXPECT_EQ(game_state, STATE_PLAYING);
    harness_effects_clear();
    next_step();
    EXPECT_EQ(game_state, STATE_OVER + 1);
    EXPECT_EQ(gameplay_speed(), 1) << "the wait after the game has its own pace";
    EXPECT_EQ(players[1].alive + players[2].alive, 2);
    EXPECT_EQ(players[0].score + players[1].score + players[2].score, 0);
    EXPECT_EQ(harness_effect_names().size(), 1u); // the step's own sound, no winner
    harness_tick(30);
    EXPECT_EQ(harness_effect_names().size(), 1u); // and no pulse after it
}

TEST_F(Rounds, DigitsFollowTheScoresUpToNine) {
    struct Case {
        int32_t score_before;
        const char* digit_after;
    };
    for (const Case& c : {Case{6, "scorechar7.png"}, Case{8, "scorechar9.png"}, Case{9, "scorechar9.png"}}) {
        players[0].score = c.score_before;
        play_until_first_step();
        win_next_step(0);
        EXPECT_EQ(players[0].score, c.score_before + 1);
        EXPECT_EQ(digit_sprite(0).image, image_find(c.digit_after)) << c.score_before + 1 << " wins";
        EXPECT_NE(digit_sprite(0).image, -1);
        harness_tick(118);
    }
}

TEST_F(Rounds, ChangingThePlayerCountResetsScoresAndTheLevelStays) {
    click(NEXT_LEVEL_KEY);
    for (int32_t winner : {0, 1}) {
        play_until_first_step();
        win_next_step(winner);
        harness_tick(118);
        ASSERT_EQ(game_state, STATE_MENU);
        EXPECT_EQ(current_level, 1);
    }
    click(players_key(2)); // the same count keeps the scores
    EXPECT_EQ(players[0].score + players[1].score, 2);
    click(players_key(3));
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        EXPECT_EQ(players[slot].score, 0);
        EXPECT_EQ(digit_sprite(slot).image, image_find("scorechar0.png"));
        EXPECT_EQ(digit_sprite(slot).visible, slot < 3);
        EXPECT_EQ(sprite_pool[controls_first_sprite + slot].visible, slot < 3);
        EXPECT_EQ(player_sprite(slot).visible, slot < 3);
    }
}

// Escape in play, or Space in the countdown and play, leave for the credits; the game waits
// there (nothing of the scene runs) and goes on from where it was.
TEST_F(Rounds, CreditsInTheMiddleOfAGameResumeIt) {
    play_until_first_step();
    harness_tick(5);
    for (int32_t key : {KEY_ESCAPE, KEY_SPACE}) {
        harness_press(key);
        harness_tick();
        ASSERT_EQ(harness_scene(), "credits");
        const auto left = players;
        const int32_t state = game_state, steps_from = state_start_frame;
        harness_tick(300);
        leave_credits();
        EXPECT_EQ(harness_scene(), "gameplay");
        EXPECT_EQ(game_state, state);
        EXPECT_EQ(state_start_frame, steps_from);
        EXPECT_EQ(std::memcmp(&players, &left, sizeof players), 0);
    }
}

// Touch screens show turn buttons for the people in a game on the screen, none for computers.
TEST_F(Rounds, TurnButtonsForThePeopleOfAGameOnTheScreen) {
    click(players_key(3));
    click(controls_picture(1));
    EXPECT_EQ(people_in_play(), 0u); // the menu is tapped, not turned in
    harness_press(ANY_KEY);
    harness_tick();
    EXPECT_EQ(people_in_play(), 0b101u);
    harness_press(KEY_ESCAPE);
    harness_tick();
    EXPECT_EQ(people_in_play(), 0u);
    leave_credits();
    EXPECT_EQ(people_in_play(), 0b101u);
    game_end(NO_WINNER);
    EXPECT_EQ(people_in_play(), 0u);
}

// A countdown left for the credits and resumed after its marks ends at once: the game never
// stays in the countdown.
TEST_F(Rounds, CountdownResumedPastItsMarksEnds) {
    harness_press(ANY_KEY);
    harness_tick(20);
    harness_press(KEY_SPACE);
    harness_tick();
    ASSERT_EQ(harness_scene(), "credits");
    harness_tick(200);
    leave_credits();
    EXPECT_EQ(game_state, STATE_PLAYING);
    EXPECT_EQ(overlay_sprite->visible, 0);
    EXPECT_EQ(players[0].row, 3); // the first step came with the end
}

} // namespace
