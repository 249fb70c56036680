// Slides, vibrato, portamento and the instrument reset, shared by effects and volume column.
#include "audio/music/effects.h"

#include "audio/music/frequency.h"
#include "audio/music/module_loader.h"
#include "audio/music/waveforms.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t FULL_ENVELOPE = 64 << 8;
constexpr int32_t PAN_ENVELOPE_CENTRE = 32 << 8;
constexpr int32_t FULL_FADE = 65536;
constexpr int WAVE_KEEP_PHASE = 4; // waveform settings 4..7 keep the phase on new notes
constexpr int VIBRATO_SHIFT = 4;   // depth 15 at the crest: 119 periods, nearly two semitones
constexpr int TREMOLO_SHIFT = 5;   // depth 15 at the crest: 59 volume steps
constexpr int RAMP_WAVEFORM = 1;

} // namespace

bool is_tone_porta_row(const Cell& cell) {
    return cell.effect == EFFECT_TONE_PORTA || cell.effect == EFFECT_TONE_PORTA_SLIDE ||
           cell.volume >= VOLUME_COLUMN_TONE_PORTA;
}

void restart_envelopes(ChannelState& ch) {
    ch.fade = FULL_FADE;
    ch.vol_env_tick = ch.vol_env_point = ch.vol_env_slope = 0;
    ch.pan_env_tick = ch.pan_env_point = ch.pan_env_slope = 0;
    ch.vol_env_done = ch.pan_env_done = 0;
    ch.vol_env_value = FULL_ENVELOPE;
    ch.autovib_sweep = ch.autovib_pos = 0;
    ch.key_off = 0;
    if ((ch.wave_control >> 4) < WAVE_KEEP_PHASE) ch.trem_pos = 0;
    if ((ch.wave_control & 0x0F) < WAVE_KEEP_PHASE) ch.vib_pos = 0;
}

void key_off(ChannelState& ch, const Instrument& instrument) {
    ch.key_off = 1;
    if (instrument.volume_type & ENVELOPE_ON) return;
    ch.volume = 0;
    ch.flags |= CHANNEL_VOLUME;
}

void reset_instrument_state(ChannelState& ch, const SampleRecord& sample) {
    restart_envelopes(ch);
    ch.volume = sample.volume;
    ch.tremor_muted = false;
    ch.panning = sample.panning;
    ch.pan_env_value = PAN_ENVELOPE_CENTRE;
}

// depth x wave >> shift, the same size on both sides of the wave.
int32_t wave_offset(int depth, int value, int shift) {
    const int32_t size = (depth * std::abs(value)) >> shift;
    return value < 0 ? -size : size;
}

// The first half of the wave lowers the pitch, by up to depth / 16 of a semitone at the crest
// (depth x 127 / 16 periods, 64 periods a semitone). In the linear table a positive delta
// raises the pitch, so there the offset goes in negated.
void vibrato_hold(ChannelState& ch) {
    const int waveform = ch.wave_control & 0x0F;
    int wave = wave_value(ch.vib_pos, waveform);
    if ((waveform & 3) == RAMP_WAVEFORM) wave = -wave; // the pitch falls along the ramp, then jumps back
    const int32_t offset = wave_offset(ch.vib_depth, wave, VIBRATO_SHIFT);
    ch.period_delta = (song.module_flags & MODULE_LINEAR_FREQUENCIES) ? -offset : offset;
    ch.flags |= CHANNEL_FREQUENCY;
}

void vibrato(ChannelState& ch) {
    vibrato_hold(ch);
    ch.vib_pos = static_cast<uint8_t>((ch.vib_pos + ch.vib_speed) & (WAVE_PHASES - 1));
}

void tremolo_hold(ChannelState& ch) {
    const int waveform = ch.wave_control >> 4;
    // The tremolo's ramp starts half-way: full first, then the volume falls and jumps back.
    const int phase = ch.trem_pos + ((waveform & 3) == RAMP_WAVEFORM ? WAVE_PHASES / 2 : 0);
    ch.volume_delta = wave_offset(ch.trem_depth, wave_value(phase, waveform), TREMOLO_SHIFT);
    ch.flags |= CHANNEL_VOLUME;
}

void tremolo(ChannelState& ch) {
    tremolo_hold(ch);
    ch.trem_pos = static_cast<uint8_t>((ch.trem_pos + ch.trem_speed) & (WAVE_PHASES - 1));
}

void tone_porta_step(ChannelState& ch) {
    int32_t speed = PORTA_UNIT * ch.tone_porta_speed;
    if (ch.period < ch.porta_target)
        ch.period = std::min(ch.period + speed, ch.porta_target);
    else if (ch.period > ch.porta_target)
        ch.period = std::max(ch.period - speed, ch.porta_target);
    ch.flags |= CHANNEL_FREQUENCY;
}

void add_volume(ChannelState& ch, int32_t change) {
    ch.volume = std::clamp(ch.volume + change, 0, FULL_VOLUME);
    ch.flags |= CHANNEL_VOLUME;
}

void add_panning(ChannelState& ch, int32_t change) {
    ch.panning = std::clamp(ch.panning + change, 0, PAN_MAX);
    ch.flags |= CHANNEL_PANNING;
}

void add_period(ChannelState& ch, int32_t change) {
    ch.period = std::clamp(ch.period + change, -PERIOD_LIMIT, PERIOD_LIMIT);
    ch.flags |= CHANNEL_FREQUENCY;
}

void volume_slide(ChannelState& ch, uint8_t param) {
    if (param >> 4)
        add_volume(ch, param >> 4);
    else
        add_volume(ch, -(param & 0x0F));
}

void multi_retrigger(ChannelState& ch) {
    if (++ch.retrigger_count < ch.retrigger_interval) return;
    ch.retrigger_count = 0;
    if (ch.retrigger_interval == 0) return;
    ch.flags |= CHANNEL_TRIGGER;
    if (ch.retrigger_volume) {
        ch.volume = std::clamp(retrigger_volume(ch.volume, ch.retrigger_volume), 0, FULL_VOLUME);
        ch.flags |= CHANNEL_VOLUME;
    }
}

void tremor_step(ChannelState& ch) {
    ch.flags |= CHANNEL_VOLUME;
    ch.tremor_muted = ch.tremor_count > ch.tremor_on;
    if (ch.tremor_count > ch.tremor_on + ch.tremor_off)
        ch.tremor_count = 0;
    else
        ++ch.tremor_count;
}
