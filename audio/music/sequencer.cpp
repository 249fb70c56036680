// Rows and ticks: tick 0 of a row reads its cells and runs the row part of every command, the
// other ticks run the tick parts; envelopes and fade-out advance on every tick and each channel
// ends its tick with the channel update.
// A song that does not loop ends after its last row has played in full: the advance past the
// last order leaves an end mark (pending order = song length) that the next row start finds.
#include "audio/music/sequencer.h"

#include "audio/music/channel_update.h"
#include "audio/music/effects.h"
#include "audio/music/envelope.h"
#include "audio/music/frequency.h"
#include "audio/music/module_loader.h"

#include <algorithm>

namespace {

constexpr int NO_PENDING = -1;
constexpr uint8_t NOTE_FIRST = 1, NOTE_LAST = 96;
constexpr int NOTE_RANGE = 120;

// Channels of a module without instruments (or naming none yet) play the empty sample.
const Instrument no_instrument{};

const Instrument& channel_instrument(const ChannelState& ch) {
    return ch.instrument < song.instrument_count ? song.instrument_table[ch.instrument] : no_instrument;
}

// The empty sample when the keymap names none.
const SampleRecord& keymap_sample(const ChannelState& ch, const Instrument& instrument) {
    uint8_t number = instrument.keymap[ch.note % KEYMAP_NOTES];
    const SampleRecord* sample = number < MAX_SAMPLES_PER_INSTRUMENT ? instrument.samples[number] : nullptr;
    return sample ? *sample : empty_sample;
}

bool linear_frequencies() {
    return (song.module_flags & MODULE_LINEAR_FREQUENCIES) != 0;
}

void advance_envelopes(ChannelState& ch, const Instrument& instrument) {
    EnvelopeShape volume = volume_envelope(instrument);
    if ((volume.type & ENVELOPE_ON) && envelope_step(volume, volume_cursor(ch), ch.key_off != 0))
        ch.flags |= CHANNEL_VOLUME;
    EnvelopeShape panning = panning_envelope(instrument);
    if ((panning.type & ENVELOPE_ON) && envelope_step(panning, panning_cursor(ch), ch.key_off != 0))
        ch.flags |= CHANNEL_PANNING;
    if (ch.key_off) {
        ch.fade = std::max(ch.fade - instrument.fadeout, 0);
        ch.flags |= CHANNEL_VOLUME;
    }
}

void row_channel(int channel, const Cell& cell, RowJumps& jumps) {
    ChannelState& ch = song.channels[channel];
    // K00 releases the note at once, in place of a note beside it.
    const bool key_off_now = cell.effect == EFFECT_KEY_OFF && cell.param == 0;
    bool note_given = cell.note >= NOTE_FIRST && cell.note <= NOTE_LAST && !key_off_now;
    if (!is_tone_porta_row(cell)) {
        if (cell.instrument) ch.instrument = static_cast<uint8_t>(cell.instrument - 1);
        if (note_given) ch.note = static_cast<uint8_t>(cell.note - 1);
    }
    const Instrument& instrument = channel_instrument(ch);
    const SampleRecord& sample = keymap_sample(ch, instrument);
    ChannelContext c{ch, cell, instrument, sample, ch.period, ch.volume, ch.panning};

    if (ch.last_effect == EFFECT_TREMOLO && cell.effect != EFFECT_TREMOLO) add_volume(ch, ch.volume_delta);
    ch.last_effect = cell.effect;
    ch.volume_delta = 0;
    ch.period_delta = 0;
    ch.flags = CHANNEL_FREQUENCY | CHANNEL_VOLUME;
    // A note that the sample's relative note takes out of the ten octaves is not played.
    const int real_note = cell.note - 1 + sample.relative_note;
    if (real_note < 0 || real_note >= NOTE_RANGE) note_given = false;
    if (note_given) {
        ch.real_note = static_cast<uint8_t>(real_note);
        ch.finetune = sample.finetune;
        ch.note_period = note_period(ch.real_note, ch.finetune, linear_frequencies());
        if (!is_tone_porta_row(cell)) ch.period = ch.note_period;
        ch.flags |= CHANNEL_TRIGGER;
    }
    // An instrument number beside a release reloads the volume that the release took away.
    const bool release = cell.note >= NOTE_KEY_OFF || key_off_now;
    if (release) key_off(ch, instrument);
    if (cell.instrument) {
        // Without a note the playing sample goes on, and its own volume and panning come back.
        const bool playing = !note_given && ch.voice->sample;
        reset_instrument_state(ch, playing ? *ch.voice->sample : sample);
        ch.key_off = release;
        ch.flags |= CHANNEL_VOLUME | CHANNEL_PANNING;
    }
    volume_column_row(c);
    advance_envelopes(ch, instrument);
    effect_row(c, jumps);
    channel_update(ch, channel, instrument, sample);
}

void tick_channel(int channel, const Cell& cell) {
    ChannelState& ch = song.channels[channel];
    const Instrument& instrument = channel_instrument(ch);
    const SampleRecord& sample = keymap_sample(ch, instrument);
    ChannelContext c{ch, cell, instrument, sample, ch.period, ch.volume, ch.panning};
    ch.volume_delta = 0;
    ch.period_delta = 0;
    ch.flags = 0;
    advance_envelopes(ch, instrument);
    volume_column_tick(c);
    effect_tick(c);
    channel_update(ch, channel, instrument, sample);
}

const PatternSlot& current_pattern() {
    return song.pattern_table[song.order_table[song.order]];
}

// A pattern stored empty plays as rows of empty cells: envelopes, fade-outs and slides of notes
// started earlier go on through it.
const Cell empty_row[MAX_CHANNELS]{};

const Cell* row_cells(const PatternSlot& pattern) {
    return pattern.cells
               ? pattern.cells + static_cast<size_t>(song.row) * static_cast<size_t>(song.channel_count)
               : empty_row;
}

// Where the song goes after this row when no command said otherwise. A game-thread
// music_set_order that lands meanwhile is kept.
void advance_position(const PatternSlot& pattern) {
    int expected = NO_PENDING;
    if (song.row + 1 < pattern.rows) {
        song.pending_row.compare_exchange_strong(expected, song.row + 1, std::memory_order_relaxed);
        return;
    }
    int next = song.order + 1;
    if (next >= song.song_length) next = order_past_the_end();
    if (song.pending_order.compare_exchange_strong(expected, next, std::memory_order_relaxed)) {
        expected = NO_PENDING;
        song.pending_row.compare_exchange_strong(expected, 0, std::memory_order_relaxed);
    }
}

size_t played_bit(int order, int row) {
    return static_cast<size_t>(order) * MAX_ROWS + static_cast<size_t>(row);
}

// False when this row is a return that ends the song.
bool note_row_played() {
    if (song.plays_left == 0) return true;
    const size_t bit = played_bit(song.order, song.row);
    const uint64_t mask = uint64_t{1} << (bit % 64);
    if (song.played_rows[bit / 64] & mask) {
        if (--song.plays_left == 0) return false;
        song.played_rows.fill(0);
    }
    song.played_rows[bit / 64] |= mask;
    return true;
}

// False when the song has ended instead.
bool begin_row() {
    int order = song.pending_order.exchange(NO_PENDING, std::memory_order_relaxed);
    int row = song.pending_row.exchange(NO_PENDING, std::memory_order_relaxed);
    if (order >= song.song_length) {
        song.ended = true;
        return false;
    }
    if (order >= 0) song.order = order;
    if (row >= 0) song.row = row;
    const PatternSlot& pattern = current_pattern();
    // A break or loop to a row the pattern does not have starts the pattern from its top.
    if (song.row >= pattern.rows) song.row = 0;
    if (!note_row_played()) {
        song.ended = true;
        return false;
    }
    const Cell* cells = row_cells(pattern);
    RowJumps jumps{};
    for (int c = 0; c < song.channel_count; ++c)
        row_channel(c, cells[c], jumps);
    if (song.pending_row.load(std::memory_order_relaxed) == NO_PENDING) advance_position(pattern);
    return true;
}

void run_tick() {
    const Cell* cells = row_cells(current_pattern());
    for (int c = 0; c < song.channel_count; ++c)
        tick_channel(c, cells[c]);
}

// A new global volume is heard on every channel at once, not only on those whose own volume
// changes later.
void apply_global_volume() {
    for (int c = 0; c < song.channel_count; ++c)
        channel_volume_update(song.channels[c]);
}

} // namespace

void sequencer_tick() {
    if (!song.ended) {
        const int32_t global_volume = song.global_volume;
        if (song.tick == 0) {
            if (!begin_row()) {
                song.frames_left_in_tick = song.frames_per_tick;
                return;
            }
        } else {
            run_tick();
        }
        if (song.global_volume != global_volume) apply_global_volume();
        if (++song.tick >= song.speed + song.pattern_delay) {
            song.tick = 0;
            song.pattern_delay = 0;
        }
    }
    song.frames_left_in_tick = song.frames_per_tick;
}

void sequencer_end_on_return(int plays) {
    song.plays_left = std::max(plays, 0);
    song.played_rows.fill(0);
}

void sequencer_loop_back(int from) {
    for (int row = std::max(from, 0); row <= song.row; ++row) {
        const size_t bit = played_bit(song.order, row);
        song.played_rows[bit / 64] &= ~(uint64_t{1} << (bit % 64));
    }
}

int order_past_the_end() {
    if (!song.loop) return song.song_length;
    return song.restart_order < song.song_length ? song.restart_order : 0;
}

void set_bpm(int bpm) {
    song.frames_per_tick = bpm > 0 ? FRAMES_PER_TICK_AT_1_BPM / bpm : FRAMES_PER_TICK_AT_1_BPM;
}
