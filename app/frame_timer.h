// The frame timer: turns the clock into fixed update ticks of tick_period ms; each due tick is
// one game_tick, which counts it in frame_count. Missed ticks are replayed one per pass.
#pragma once
#include <cstdint>

extern int64_t next_due;    // clock ms of the next tick; 0 before the timer starts
extern int32_t tick_period; // ms; engine_init sets 25
extern int32_t tick_speed;  // ticks in one tick_period; the game asks for more to hurry an ending

// Called by app_main (reset) and main_loop_pass: true when an update tick is due.
bool frame_timer_poll(bool reset);

// Called by main_loop_pass: milliseconds until frame_timer_poll will report a tick; 0 when
// one is due now.
int frame_timer_ms_until_due();
