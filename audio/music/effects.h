// The pattern commands: the row part of each effect (tick 0), its tick part (later ticks), and
// the volume column, with the motions they share (slides, vibrato, tremolo, tremor, portamento).
// Threads: the output thread.
#pragma once
#include "audio/music/song.h"

#include <cstdint>

constexpr int EFFECT_COUNT = 34; // 0..0x21; higher numbers do nothing
constexpr uint8_t EFFECT_ARPEGGIO = 0x00, EFFECT_TONE_PORTA = 0x03, EFFECT_TONE_PORTA_SLIDE = 0x05,
                  EFFECT_TREMOLO = 0x07, EFFECT_EXTENDED = 0x0E, EFFECT_KEY_OFF = 0x14;
constexpr uint8_t EXTENDED_NOTE_DELAY = 0x0D;
constexpr uint8_t VOLUME_COLUMN_TONE_PORTA = 0xF0;
constexpr int PORTA_UNIT = 4; // periods per unit of the portamento commands
constexpr int32_t PAN_MAX = 255;

constexpr uint8_t param_x(uint8_t param) {
    return param >> 4;
}
constexpr uint8_t param_y(uint8_t param) {
    return param & 0x0F;
}

// What the commands of one channel see on one tick.
struct ChannelContext {
    ChannelState& ch;
    const Cell& cell;
    const Instrument& instrument;
    const SampleRecord& sample; // the empty sample when the keymap names none
    // The values before this row, which a note delay restores.
    int32_t row_period, row_volume, row_panning;
};

// Set by B while a row is being handled, so that a later D keeps its order.
struct RowJumps {
    bool order_set;
};

void effect_row(ChannelContext& c, RowJumps& jumps);
void effect_tick(ChannelContext& c);
void volume_column_row(ChannelContext& c);
void volume_column_tick(ChannelContext& c);

// True when the cell's note only sets a tone-portamento target.
bool is_tone_porta_row(const Cell& cell);

// Starts a note's envelopes afresh: envelope cursors (volume envelope value 64), full fade,
// automatic vibrato, key-off, and (by waveform setting) the vibrato and tremolo phases.
void restart_envelopes(ChannelState& ch);
// Releases the note: envelopes leave their sustain and the fade-out runs; without a volume
// envelope the channel's volume drops to 0 instead (a later volume command is heard again).
void key_off(ChannelState& ch, const Instrument& instrument);
// What a new instrument number resets: the above, plus volume and panning from the sample and
// the panning envelope's centre.
void reset_instrument_state(ChannelState& ch, const SampleRecord& sample);

// The motions shared by several commands. Vibrato and tremolo take their wave at the current
// phase: on the first tick of a row it only holds them there (the pitch and volume do not jump
// back for a tick between rows), on later ticks the phase then moves on by the speed.
void vibrato(ChannelState& ch);
void vibrato_hold(ChannelState& ch);
void tremolo(ChannelState& ch);
void tremolo_hold(ChannelState& ch);
void tone_porta_step(ChannelState& ch);
// Counts a tick of Rxy; every interval-th restarts the note, changing its volume as x says.
void multi_retrigger(ChannelState& ch);
// Sounds for on + 1 ticks, then silent for off + 1 ticks.
void tremor_step(ChannelState& ch);
void volume_slide(ChannelState& ch, uint8_t param);
void add_volume(ChannelState& ch, int32_t change);
void add_panning(ChannelState& ch, int32_t change); // stays within 0..255
void add_period(ChannelState& ch, int32_t change);
