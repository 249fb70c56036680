// The application shell: start-up, the main loop, the per-pass clear and fatal errors.
// Main thread only.
#pragma once
#include "engine/frame_state.h"

#include <cstdint>

constexpr const char* WINDOW_TITLE = "Vorlump - Quibbet 2013";
constexpr const char* FULLSCREEN_QUESTION = "Do you want to enable fullscreen mode?";
constexpr int32_t TICK_PERIOD_MS = 25;
constexpr int32_t WINDOWED_WIDTH = 1280, WINDOWED_HEIGHT = 720;

// The process entry's logic; returns the exit code (the quit message's code, or 1 when the
// window class cannot be registered: no display, or SDL cannot start).
int app_main(int show_command);

// Start-up up to the main loop: the window, the question, the GL context, engine_init and the
// clock. False when no window can be had (the reason is on standard error; the exit status is
// then FATAL_STATUS).
bool app_start(int show_command);

// One frame of a browser page, which the browser calls once per displayed frame instead of
// sleeping: main-loop passes until the game has caught up with the clock (every queued message,
// every tick due, and the drawing if the picture changed). False (after program_shutdown) when
// the quit message arrived; *exit_code then holds its code. After the page was hidden the ticks
// it missed are replayed, undrawn, FRAME_CATCH_UP_MS of the clock per frame at most, so the page
// stays responsive while the game catches up.
bool app_frame(int* exit_code);
constexpr int FRAME_CATCH_UP_MS = 8; // half a frame at 60 Hz

// The scene engine_init enters last: "intro". Test programs that start elsewhere set it before
// app_main; the program itself sets it only to watch a replay.
extern const char* first_scene;

// `quibbet --replay [FILE]`, set by the process entry before app_main: the game shows that
// recorded game (replay_file null: the last one kept) with its sounds and then its menu. A file
// that cannot be played ends the program before any window with one line on standard error.
extern bool replay_requested;
extern const char* replay_file;

// One pass of the main loop: one message, or at most one update, and a drawn frame when the
// picture changed (a tick ran, the window was resized or exposed) and no further tick is due.
// The effects are pumped on every pass without a message. False when the quit message arrived;
// *exit_code then holds its code. *idle_ms: how long the caller may wait before the next pass
// (0 after a message or while ticks are due; else until the next tick is due).
bool main_loop_pass(int* exit_code, int* idle_ms);

// One-time initialisation before the loop.
void engine_init();

// Clears the screen and tops up the effects output; once per drawing pass.
void frame_begin();

// The line on standard error, the error box with a stop icon, then exit status 1. Never returns.
[[noreturn]] void fatal_error(const char* caption, const char* text);
