// The engine's way out on an unrecoverable failure (an image that cannot be decoded). The
// application installs its own error path at start-up; until then, and in tests that install
// nothing, the failure shows the error box and ends the process with status 1 itself.
// Main thread only.
#pragma once

// Shows caption and text to the player and ends the process; must not return.
using FatalHandler = void (*)(const char* caption, const char* text);

extern FatalHandler engine_fatal_handler; // null: the built-in box-and-exit

[[noreturn]] void engine_fatal(const char* caption, const char* text);

constexpr int FATAL_STATUS = 1; // a launcher must not take the end for a player's own
