// The sequencer: turns the loaded song into voice parameters, one tick at a time.
// Threads: the output thread (and music_start while it fills the ring); only the pending order
// and row are written from elsewhere (music_set_order).
#pragma once

constexpr int FRAMES_PER_TICK_AT_1_BPM = 120000; // 48,000 frames a second x 2.5 / BPM

// Called by the mixer whenever song.frames_left_in_tick reaches 0 (and before the first frame).
// Runs the row or the tick, then refills frames_left_in_tick. When the song runs past its last
// order without song.loop (its last row played in full) it sets song.ended, which stays set, and
// the mixer tears the player down.
void sequencer_tick();

// Renders and measures a song as long as it plays once, or plays times: the song ends when it
// comes back to an order and row already played for the plays-th time. Rows that a pattern loop
// repeats are no return. 0 turns this off. Called by the tools after loading.
void sequencer_end_on_return(int plays);

// Called by the pattern loop when it jumps back from the current row to `from`: those rows are
// played again without the song having come back.
void sequencer_loop_back(int from);

// Where a song goes on once it runs past its last order (by playing on, or by a B or D that
// points beyond it): the restart order (order 0 when that lies outside the song) with song.loop,
// else the end mark, song_length, which ends the song when the next row would start.
int order_past_the_end();

// frames_per_tick = 120000 / bpm, or 120000 for bpm 0.
void set_bpm(int bpm);
