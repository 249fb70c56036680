// The tick part of every effect (ticks after the first of a row), dispatched through a table.
#include "audio/music/effects.h"

#include "audio/music/frequency.h"
#include "audio/music/module_loader.h"
#include "audio/music/waveforms.h"

#include <algorithm>
#include <array>

namespace {

constexpr int32_t MIN_SLIDE_PERIOD = 1;

void no_tick_part(ChannelContext&) {}

void arpeggio(ChannelContext& c) {
    if (!c.cell.param) return;
    int phase = song.tick % 3;
    int semitones = phase == 1 ? param_x(c.cell.param) : phase == 2 ? param_y(c.cell.param) : 0;
    if (song.module_flags & MODULE_LINEAR_FREQUENCIES) {
        c.ch.period_delta = 64 * semitones;
    } else {
        int finetune = c.ch.finetune;
        c.ch.period_delta =
            classic_period(c.ch.real_note + semitones, finetune) - classic_period(c.ch.real_note, finetune);
    }
    c.ch.flags |= CHANNEL_FREQUENCY;
}

void porta_up(ChannelContext& c) {
    c.ch.period = std::max(c.ch.period - PORTA_UNIT * c.ch.porta_memory, MIN_SLIDE_PERIOD);
    c.ch.period_delta = 0;
    c.ch.flags |= CHANNEL_FREQUENCY;
}

void porta_down(ChannelContext& c) {
    c.ch.period = std::clamp(c.ch.period + PORTA_UNIT * c.ch.porta_memory, MIN_SLIDE_PERIOD, PERIOD_LIMIT);
    c.ch.period_delta = 0;
    c.ch.flags |= CHANNEL_FREQUENCY;
}

void tone_porta(ChannelContext& c) {
    tone_porta_step(c.ch);
}

void vibrato_tick(ChannelContext& c) {
    vibrato(c.ch);
}

void tone_porta_slide(ChannelContext& c) {
    tone_porta_step(c.ch);
    volume_slide(c.ch, c.ch.volume_slide_memory);
}

void vibrato_slide(ChannelContext& c) {
    vibrato(c.ch);
    volume_slide(c.ch, c.ch.volume_slide_memory);
}

void tremolo_tick(ChannelContext& c) {
    tremolo(c.ch);
}

void volume_slide_tick(ChannelContext& c) {
    volume_slide(c.ch, c.ch.volume_slide_memory);
}

// The delayed note starts now, as if its row began on this tick.
void delayed_note(ChannelContext& c) {
    ChannelState& ch = c.ch;
    // Panning and its envelope value carry on; the volume envelope restarts at full even after
    // a key-off, so the delayed note sounds like a fresh one.
    restart_envelopes(ch);
    ch.volume = c.sample.volume;
    ch.period = ch.note_period;
    ch.flags |= CHANNEL_TRIGGER | CHANNEL_FREQUENCY | CHANNEL_VOLUME;
    volume_column_row(c);
}

void extended(ChannelContext& c) {
    ChannelState& ch = c.ch;
    uint8_t x = param_y(c.cell.param);
    switch (param_x(c.cell.param)) {
    case 0x9:
        if (x && song.tick % x == 0) ch.flags |= CHANNEL_TRIGGER | CHANNEL_FREQUENCY | CHANNEL_VOLUME;
        break;
    case 0xC:
        if (song.tick == x) {
            ch.volume = 0;
            ch.flags |= CHANNEL_VOLUME;
        }
        break;
    case EXTENDED_NOTE_DELAY:
        if (song.tick == x) delayed_note(c);
        break;
    default:
        break;
    }
}

void global_volume_slide(ChannelContext& c) {
    uint8_t memory = c.ch.global_volume_slide_memory;
    int32_t change = param_x(memory) ? param_x(memory) : -param_y(memory);
    song.global_volume = std::clamp(song.global_volume + change, 0, FULL_VOLUME);
}

void panning_slide(ChannelContext& c) {
    ChannelState& ch = c.ch;
    uint8_t memory = ch.panning_slide_memory;
    add_panning(ch, param_x(memory) ? param_x(memory) : -param_y(memory));
}

void retrigger_tick(ChannelContext& c) {
    multi_retrigger(c.ch);
}

void key_off_tick(ChannelContext& c) {
    if (song.tick == c.cell.param) key_off(c.ch, c.instrument);
}

void tremor(ChannelContext& c) {
    tremor_step(c.ch);
}

using TickPart = void (*)(ChannelContext&);
constexpr std::array<TickPart, EFFECT_COUNT> TICK_PARTS = {
    arpeggio,            // 0
    porta_up,            // 1
    porta_down,          // 2
    tone_porta,          // 3
    vibrato_tick,        // 4
    tone_porta_slide,    // 5
    vibrato_slide,       // 6
    tremolo_tick,        // 7
    no_tick_part,        // 8
    no_tick_part,        // 9
    volume_slide_tick,   // A
    no_tick_part,        // B
    no_tick_part,        // C
    no_tick_part,        // D
    extended,            // E
    no_tick_part,        // F
    no_tick_part,        // G
    global_volume_slide, // H
    no_tick_part,        // I
    no_tick_part,        // J
    key_off_tick,        // K
    no_tick_part,        // L
    no_tick_part,        // M
    no_tick_part,        // N
    no_tick_part,        // O
    panning_slide,       // P
    no_tick_part,        // Q
    retrigger_tick,      // R
    no_tick_part,        // S
    tremor,              // T
    no_tick_part,        // U
    no_tick_part,        // V
    no_tick_part,        // W
    no_tick_part,        // X
};

} // namespace

void effect_tick(ChannelContext& c) {
    if (c.cell.effect < EFFECT_COUNT) TICK_PARTS[c.cell.effect](c);
}
