// The row part of every effect (tick 0), dispatched through a table on the effect number.
#include "audio/music/effects.h"

#include "audio/music/envelope.h"
#include "audio/music/frequency.h"
#include "audio/music/module_loader.h"
#include "audio/music/sequencer.h"

#include <algorithm>
#include <array>

namespace {

constexpr int32_t OFFSET_UNIT = 256;  // sample offset counts in 256 points
constexpr uint8_t SPEED_LIMIT = 0x20; // F below this sets the speed, from it the BPM
constexpr int FINETUNE_CENTRE = 8, FINETUNE_UNIT = 16;
constexpr uint8_t NOTE_FIRST = 1, NOTE_LAST = 96;

void remember(uint8_t& memory, uint8_t param) {
    if (param) memory = param;
}

// A jump beyond the last order is the song's end, as if it had played on past it.
int order_in_song(int order) {
    return order < song.song_length ? order : order_past_the_end();
}

void no_row_part(ChannelContext&, RowJumps&) {}

void porta_memory(ChannelContext& c, RowJumps&) {
    remember(c.ch.porta_memory, c.cell.param);
}

void tone_porta(ChannelContext& c, RowJumps&) {
    remember(c.ch.tone_porta_speed, c.cell.param);
    c.ch.porta_target = c.ch.note_period;
    c.ch.flags &= static_cast<uint8_t>(~CHANNEL_TRIGGER);
}

void vibrato_row(ChannelContext& c, RowJumps&) {
    if (param_x(c.cell.param)) c.ch.vib_speed = param_x(c.cell.param);
    if (param_y(c.cell.param)) c.ch.vib_depth = param_y(c.cell.param);
    vibrato_hold(c.ch);
}

void tone_porta_slide(ChannelContext& c, RowJumps&) {
    remember(c.ch.volume_slide_memory, c.cell.param);
    c.ch.porta_target = c.ch.note_period;
    c.ch.flags &= static_cast<uint8_t>(~CHANNEL_TRIGGER);
}

void vibrato_slide(ChannelContext& c, RowJumps&) {
    remember(c.ch.volume_slide_memory, c.cell.param);
    vibrato_hold(c.ch);
}

void tremolo_row(ChannelContext& c, RowJumps&) {
    if (param_x(c.cell.param)) c.ch.trem_speed = param_x(c.cell.param);
    if (param_y(c.cell.param)) c.ch.trem_depth = param_y(c.cell.param);
    tremolo_hold(c.ch);
}

void set_panning(ChannelContext& c, RowJumps&) {
    c.ch.panning = c.cell.param;
    c.ch.flags |= CHANNEL_PANNING;
}

// Only a note of the same row starts at the offset; without one the memory is all that changes.
void sample_offset(ChannelContext& c, RowJumps&) {
    if (c.cell.param) c.ch.offset_memory = c.cell.param * OFFSET_UNIT;
    if (c.ch.flags & CHANNEL_TRIGGER) c.ch.voice->start_offset = c.ch.offset_memory;
}

void volume_slide_memory(ChannelContext& c, RowJumps&) {
    remember(c.ch.volume_slide_memory, c.cell.param);
}

void position_jump(ChannelContext& c, RowJumps& jumps) {
    song.pending_order.store(order_in_song(c.cell.param), std::memory_order_relaxed);
    song.pending_row.store(0, std::memory_order_relaxed);
    jumps.order_set = true;
}

void set_volume(ChannelContext& c, RowJumps&) {
    c.ch.volume = std::min<int32_t>(c.cell.param, FULL_VOLUME);
    c.ch.flags |= CHANNEL_VOLUME;
}

void pattern_break(ChannelContext& c, RowJumps& jumps) {
    song.pending_row.store(10 * param_x(c.cell.param) + param_y(c.cell.param), std::memory_order_relaxed);
    if (!jumps.order_set) song.pending_order.store(order_in_song(song.order + 1), std::memory_order_relaxed);
}

// E5x retunes the note of its own row, x = 8 being in tune, in sixteenths of the way to the
// next semitone. The sample keeps its own finetune for the notes after it.
void set_finetune(ChannelContext& c, uint8_t x) {
    ChannelState& ch = c.ch;
    if (c.cell.note < NOTE_FIRST || c.cell.note > NOTE_LAST) return;
    ch.finetune = static_cast<int8_t>((x - FINETUNE_CENTRE) * FINETUNE_UNIT);
    ch.note_period = note_period(ch.real_note, ch.finetune, song.module_flags & MODULE_LINEAR_FREQUENCIES);
    if (!is_tone_porta_row(c.cell)) ch.period = ch.note_period;
}

void pattern_loop(ChannelState& ch, uint8_t count) {
    bool jump;
    if (count == 0) {
        ch.loop_row = song.row;
        jump = false;
    } else if (ch.loop_count == 0) {
        ch.loop_count = count;
        jump = true;
    } else {
        --ch.loop_count;
        jump = ch.loop_count != 0;
    }
    if (!jump) return;
    song.pending_row.store(ch.loop_row, std::memory_order_relaxed);
    sequencer_loop_back(ch.loop_row);
}

void extended(ChannelContext& c, RowJumps&) {
    ChannelState& ch = c.ch;
    uint8_t x = param_y(c.cell.param);
    switch (param_x(c.cell.param)) {
    case 0x1:
        remember(ch.fine_porta_up_memory, x);
        add_period(ch, -PORTA_UNIT * ch.fine_porta_up_memory);
        break;
    case 0x2:
        remember(ch.fine_porta_down_memory, x);
        add_period(ch, PORTA_UNIT * ch.fine_porta_down_memory);
        break;
    case 0x4:
        ch.wave_control = static_cast<uint8_t>((ch.wave_control & 0xF0) | x);
        break;
    case 0x5:
        set_finetune(c, x);
        break;
    case 0x6:
        pattern_loop(ch, x);
        break;
    case 0x7:
        ch.wave_control = static_cast<uint8_t>((ch.wave_control & 0x0F) | x << 4);
        break;
    case 0x8:
        ch.panning = x * 16;
        ch.flags |= CHANNEL_PANNING;
        break;
    case 0xA:
        remember(ch.fine_volume_up_memory, x);
        add_volume(ch, ch.fine_volume_up_memory);
        break;
    case 0xB:
        remember(ch.fine_volume_down_memory, x);
        add_volume(ch, -ch.fine_volume_down_memory);
        break;
    case EXTENDED_NOTE_DELAY:
        if (x == 0) break; // ED0 plays the note as it is
        ch.period = c.row_period;
        ch.volume = c.row_volume;
        ch.panning = c.row_panning;
        ch.flags = 0;
        break;
    case 0xE:
        song.pattern_delay = x * song.speed;
        break;
    default: // E0x, E3x, E9x, ECx (tick part only) and EFx
        break;
    }
}

// F00 leaves the speed alone: read as a speed it would race through the rest of the song at a
// tick a row, which no module that writes it means.
void set_speed(ChannelContext& c, RowJumps&) {
    if (c.cell.param == 0) return;
    if (c.cell.param < SPEED_LIMIT)
        song.speed = c.cell.param;
    else
        set_bpm(c.cell.param);
}

void set_global_volume(ChannelContext& c, RowJumps&) {
    song.global_volume = std::min<int32_t>(c.cell.param, FULL_VOLUME);
}

void global_slide_memory(ChannelContext& c, RowJumps&) {
    remember(c.ch.global_volume_slide_memory, c.cell.param);
}

void envelope_position(ChannelContext& c, RowJumps&) {
    EnvelopeShape volume = volume_envelope(c.instrument);
    if (volume.type & ENVELOPE_ON) {
        envelope_set_position(volume, volume_cursor(c.ch), c.cell.param);
        c.ch.flags |= CHANNEL_VOLUME;
    }
    EnvelopeShape panning = panning_envelope(c.instrument);
    if (panning.type & ENVELOPE_ON) {
        envelope_set_position(panning, panning_cursor(c.ch), c.cell.param);
        c.ch.flags |= CHANNEL_PANNING;
    }
}

void panning_slide_memory(ChannelContext& c, RowJumps&) {
    remember(c.ch.panning_slide_memory, c.cell.param);
    c.ch.flags |= CHANNEL_PANNING;
}

// The count runs on from the rows before, unless a note starts it afresh.
void retrigger_row(ChannelContext& c, RowJumps&) {
    if (c.cell.param) {
        c.ch.retrigger_volume = param_x(c.cell.param);
        c.ch.retrigger_interval = param_y(c.cell.param);
    }
    if (c.ch.flags & CHANNEL_TRIGGER)
        c.ch.retrigger_count = 0;
    else
        multi_retrigger(c.ch);
}

void tremor_row(ChannelContext& c, RowJumps&) {
    if (c.cell.param) {
        c.ch.tremor_on = param_x(c.cell.param);
        c.ch.tremor_off = param_y(c.cell.param);
    }
}

void extra_fine_porta(ChannelContext& c, RowJumps&) {
    ChannelState& ch = c.ch;
    uint8_t y = param_y(c.cell.param);
    if (param_x(c.cell.param) == 1) {
        remember(ch.extra_fine_up_memory, y);
        add_period(ch, -ch.extra_fine_up_memory);
    } else if (param_x(c.cell.param) == 2) {
        remember(ch.extra_fine_down_memory, y);
        add_period(ch, ch.extra_fine_down_memory);
    }
}

using RowPart = void (*)(ChannelContext&, RowJumps&);
constexpr std::array<RowPart, EFFECT_COUNT> ROW_PARTS = {
    no_row_part,          // 0 arpeggio
    porta_memory,         // 1 portamento up
    porta_memory,         // 2 portamento down
    tone_porta,           // 3
    vibrato_row,          // 4
    tone_porta_slide,     // 5
    vibrato_slide,        // 6
    tremolo_row,          // 7
    set_panning,          // 8
    sample_offset,        // 9
    volume_slide_memory,  // A
    position_jump,        // B
    set_volume,           // C
    pattern_break,        // D
    extended,             // E
    set_speed,            // F
    set_global_volume,    // G
    global_slide_memory,  // H
    no_row_part,          // I
    no_row_part,          // J
    no_row_part,          // K: K00 is handled with the note's key-off
    envelope_position,    // L
    no_row_part,          // M
    no_row_part,          // N
    no_row_part,          // O
    panning_slide_memory, // P
    no_row_part,          // Q
    retrigger_row,        // R
    no_row_part,          // S
    tremor_row,           // T
    no_row_part,          // U
    no_row_part,          // V
    no_row_part,          // W
    extra_fine_porta,     // X
};

} // namespace

void effect_row(ChannelContext& c, RowJumps& jumps) {
    if (c.cell.effect < EFFECT_COUNT) ROW_PARTS[c.cell.effect](c, jumps);
}
