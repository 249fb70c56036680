// The whole game headless on the virtual platform, for the game's tests, the soak and the
// benchmark: start-up as engine_init does it, the real scene_dispatch one tick at a time,
// presses and clicks in virtual-screen coordinates, and what the game did (its tables, the
// effects it sent to the effects device, the music player's state).
// Start-up differs from the program's in one way only: the atlas texture is a thin blank one
// (the image table is the real one), which keeps runs quick under the sanitizers.
// Main thread only; the music player runs its own thread on the virtual device.
#pragma once
#include "engine/sprite_pool.h"
#include "game/tick_input.h"

#include <cstdint>
#include <string>
#include <vector>

struct AudioDevice;

// Every table back at its program-start value, a fresh virtual platform, then start-up: the
// scenes installed, clouds, board and player sprites made, and "intro" entered. The song is the
// embedded one, as in the program, unless harness_song gives another.
void harness_start();
// A start as harness_start's that keeps the files store, as the program starts again on the
// same machine: the settings written before are read at start-up.
void harness_restart();
// Stops the music player, so no thread outlives the test.
void harness_stop();

// Straight into the gameplay scene, its enter run, as the title screen goes there.
void harness_enter_gameplay();

// Queued for the next tick, as the window handlers queue them.
void harness_press(int32_t key);
void harness_click(int32_t x, int32_t y, int32_t button = 0);

// One main-loop tick: the queued presses taken as the tick's input and game_tick, then the
// passes that follow it (the effects device plays out what it holds and the pump hands over
// what is pending).
void harness_tick(int32_t ticks = 1);
// The same with a given input instead of the queued presses.
void harness_tick_input(const TickInput& input);
// What the last tick ran on.
const TickInput& harness_last_input();

// The name of the current scene ("" before the first).
std::string harness_scene();

// Tile (col, row)'s sprite.
Sprite& harness_tile_sprite(int32_t col, int32_t row);

// Effects that went to the effects device, oldest first: "tic", "bounce", "death", "winner", or
// "tone" for the synthesised one, with the tick (frame_count) in which the game asked for it.
struct HeardEffect {
    int32_t tick;
    std::string name;
    bool operator==(const HeardEffect&) const = default;
};
const std::vector<HeardEffect>& harness_effects();
void harness_effects_clear();
// Just the names.
std::vector<std::string> harness_effect_names();

// The module the game's music requests play from now on (a copy is kept).
void harness_song(const std::vector<uint8_t>& module);
// The music player's output device while it plays, else null.
AudioDevice* harness_music_device();
