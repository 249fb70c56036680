// The application shell: start-up, the main loop, the per-pass clear and fatal errors.
// Main thread only.
#pragma once
#include "engine/frame_state.h"

#include <cstdint>

constexpr const char* WINDOW_TITLE = "Vorlump - Quibbet 2013";
constexpr const char* FULLSCREEN_QUESTION = "Do you want to enable fullscreen mode?";
constexpr int32_t TICK_PERIOD_MS = 25;
constexpr int32_t WINDOWED_WIDTH = 1280, WINDOWED_HEIGHT = 720;

// The process entry's logic; returns the exit code (the quit message's code, or 0 when the
// window class cannot be registered).
int app_main(int show_command);

// Start-up up to the main loop: the window, the question, the GL context, engine_init and the
// clock. False when no window can be had (the reason is on standard error).
bool app_start(int show_command);

// One frame of a browser page, which the browser calls once per displayed frame: every queued
// message, at most one update, and a drawn frame. False (after teardown) when the quit message
// arrived; *exit_code then holds its code.
bool app_frame(int* exit_code);

// The scene engine_init enters last: "intro". Test programs that start elsewhere set it before
// app_main; the program itself never changes it.
extern const char* first_scene;

// One pass of the main loop: one message, or at most one update and a drawn frame.
// False when the quit message arrived; *exit_code then holds its code.
bool main_loop_pass(int* exit_code);

// One-time initialisation before the loop.
void engine_init();

// Clears the screen and tops up the effects output; once per drawing pass.
void frame_begin();

// Error box with a stop icon, then exit status 0. Never returns.
[[noreturn]] void fatal_error(const char* caption, const char* text);
