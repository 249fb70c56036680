// The "gameplay" scene: the board under the menu, the countdown with its ready and go overlays,
// the step clock, the end of a game and the wait before the menu returns, and the keys that
// leave for the "credits" scene. The round owns the flow: it acts on what the menu chose and on
// what each step came to, and tells the computer players the time to the next step. A game that
// only computers are still standing in ends without a winner once it has gone on for
// UNDECIDED_STEPS steps like that (steel never wears, so they could walk on for ever).
// The scene has no exit: returning from the credits resumes it where it was. Main thread only.
#pragma once
#include "engine/sprite_pool.h"
#include "game/players.h"

#include <cstdint>

// game_state: the menu, a game, its countdown, and from STATE_OVER up the ticks since a game
// ended (the menu returns once the count passes WAIT_AFTER_GAME).
constexpr int32_t STATE_MENU = 0;
constexpr int32_t STATE_PLAYING = 1;
constexpr int32_t STATE_COUNTDOWN = 2;
constexpr int32_t STATE_OVER = 3;

constexpr int32_t UNDECIDED_STEPS = 40;

// The clear colour behind the board; the title screen fades to it.
constexpr int32_t SKY_RED = 114, SKY_GREEN = 153, SKY_BLUE = 216;

// Countdown marks, in ticks after the start: the ready overlay, the go overlay, the first step.
constexpr int32_t COUNTDOWN_READY = 2;
constexpr int32_t COUNTDOWN_GO = 33;
constexpr int32_t COUNTDOWN_END = 64;

extern int32_t game_state;           // -1 before the scene's first entry
extern int32_t state_start_frame;    // the step clock counts from here; -1 stops it
extern Sprite* overlay_sprite;       // the ready and go overlays; null before the first entry
extern int32_t steps_without_person; // steps of play in a row that began with no person standing
extern uint32_t game_seed;           // the computer players' chances of the game under way

// The slots people steer in a game on the screen (its countdown or play, and not behind the
// credits), bit n for slot n; 0 at any other time.
uint32_t people_in_play();

void gameplay_enter();
void gameplay_update();

// Leaves the menu for the countdown of a new game on a freshly loaded board, seeded from the
// tick and the level.
void game_start();
// The same with a given seed: a recorded game starts again so.
void game_begin(uint32_t seed);

// Where every machine of a room begins its game, whatever it showed before: the menu over the
// first level with two players, every slot a person's, no scores, the tick count from 0 and the
// computers' chances from seed. The rules' tables come out alike everywhere; the sprites that
// only show (clouds, tweens under way) may differ.
void game_reset(uint32_t seed);
// The same but with the choices (level, players, who steers) as they stand: the local game's
// menu back after a room, once the player's own choices are.
void game_return(uint32_t seed);

// The end of a game: the survivor scores (NO_WINNER: nobody does), the wait begins and the music
// is asked for.
void game_end(int32_t winner);

// How many ticks the main loop runs in the time of one. Once the last person of a game has
// fallen, the computers play it out at FAST_END_SPEED until it is decided, so the people need
// not wait; each tick is the same tick as at normal speed, so the game ends as it would have.
// 1 at any other time (a game of computers alone is a show to watch, and keeps its pace).
constexpr int32_t FAST_END_SPEED = 4;
int32_t gameplay_speed();
