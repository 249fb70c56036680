// The menu's choices kept between runs: the player count, the level, the music and effects
// switches, who steers each slot and how strongly, and each slot's turn keys, in the plain text
// file "quibbet.cfg" of the platform's settings place, one "name value" a line under a comment
// line saying what it takes. A person may edit it. A missing file gives the game's defaults; a
// line that cannot be read (unknown name, value out of range, a repeat, garbage) costs only
// itself: its default, and one line on standard error naming the file and the line. A place that
// cannot be written costs the saving only, with one line. Main thread only, between ticks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

constexpr const char* SETTINGS_FILE = "quibbet.cfg";
constexpr std::size_t SETTINGS_TEXT_MAX = 4096; // a longer file is not one the game wrote

// Called by game_init at start-up, before any scene: reads the file and applies what it holds.
void settings_load();

// Called by the main loop after each tick (and so never inside one): writes the file when the
// choices differ from when it last looked.
void settings_keep();
// Called at exit: writes the file unless it already holds the choices.
void settings_keep_at_exit();

// Called when the choices stop being the player's own (a room's shared menu sets them alike on
// every machine): neither keeping writes until settings_restore.
void settings_hold();
// The player's choices from before the hold back in effect, and kept again; the caller shows them.
void settings_restore();

// The choices now in effect as the file's text; returns its length (cut at out's size).
std::size_t settings_text(std::span<char> out);
// Applies a file's text as settings_load does; `where` names it in the messages.
void settings_apply(std::string_view text, const char* where);
