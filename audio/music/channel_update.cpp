#include "audio/music/channel_update.h"

#include "audio/music/frequency.h"
#include "audio/music/mix_kernels.h"
#include "audio/music/module_loader.h"
#include "audio/music/waveforms.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int64_t MAX_SCALED_VOLUME = 255 * 64 * 64;
// 64 x 256 (envelope) x 65,536 (fade) x 255 x 64 down to 127 x 128 or so.
constexpr int FINAL_VOLUME_SHIFT = 36;
constexpr int64_t MAX_FINAL_VOLUME = 127 * 128;
constexpr int32_t PAN_MAX = 255;
constexpr int32_t PAN_CENTRE = 128;
constexpr int32_t PAN_ENVELOPE_CENTRE = 32 << 8;
constexpr int PAN_SWING_SHIFT = 5 + 8; // a swing of 32 reaches the room's edge; 8 bits of fraction

void automatic_vibrato(ChannelState& ch, const Instrument& in) {
    int64_t offset = int64_t{in.vibrato_depth} * autovib_value(ch.autovib_pos, in.vibrato_type);
    if (in.vibrato_sweep != 0) {
        offset = offset * ch.autovib_sweep / in.vibrato_sweep;
        if (ch.autovib_sweep < in.vibrato_sweep) ++ch.autovib_sweep;
    }
    ch.period_delta += static_cast<int32_t>(offset >> 6);
    ch.autovib_pos = (ch.autovib_pos + in.vibrato_rate) & 255;
    ch.flags |= CHANNEL_FREQUENCY;
}

// A note starting on a busy voice moves the channel to the other voice of its pair: the old
// note keeps playing there only to ramp down to silence, so the restart does not click.
void start_note(ChannelState& ch, int channel, const SampleRecord& sample) {
    Voice* pair = &song.voices[2 * channel];
    Voice* busy = ch.voice;
    if (busy->sample) {
        Voice* other = busy == pair ? pair + 1 : pair;
        other->final_volume = busy->final_volume;
        other->final_pan = busy->final_pan;
        other->start_offset = busy->start_offset;
        other->target_right = busy->target_right;
        other->target_left = busy->target_left;
        other->position = busy->position;
        other->step = busy->step;
        other->last_targets = busy->last_targets;
        other->ramp_right = busy->ramp_right;
        other->ramp_left = busy->ramp_left;
        other->sample = busy->sample;
        busy->final_volume = 0;
        busy->target_left = 0;
        busy->target_right = 0;
        ch.voice = other;
    }
    Voice& v = *ch.voice;
    // A note told to start at or past the end of its loop (of the sample, without a loop) has
    // nothing to play: it stays silent while the old note fades out on the other voice.
    const bool beyond = v.start_offset > 0 && v.start_offset >= sample.loop_start + sample.loop_length;
    v.sample = beyond ? nullptr : &sample;
    v.position = beyond ? 0 : v.start_offset;
    v.start_offset = 0;
    v.frac = 0;
    v.current_left = 0;
    v.current_right = 0;
    v.ramp_count = 0;
    v.direction = 0;
}

void set_targets(Voice& v) {
    v.target_right = v.final_volume * v.final_pan / PAN_MAX / VOLUME_GRAIN * VOLUME_GRAIN;
    v.target_left = v.final_volume * (PAN_MAX - v.final_pan) / PAN_MAX / VOLUME_GRAIN * VOLUME_GRAIN;
}

} // namespace

void channel_volume_update(ChannelState& ch) {
    Voice& v = *ch.voice;
    int64_t scaled = ch.tremor_muted ? 0 : (int64_t{ch.volume} + ch.volume_delta) * 255 * song.global_volume;
    scaled = std::clamp<int64_t>(scaled, 0, MAX_SCALED_VOLUME);
    v.final_volume = static_cast<int32_t>(
        std::min((scaled * ch.vol_env_value * ch.fade) >> FINAL_VOLUME_SHIFT, MAX_FINAL_VOLUME));
    set_targets(v);
}

void channel_update(ChannelState& ch, int channel, const Instrument& instrument, const SampleRecord& sample) {
    automatic_vibrato(ch, instrument);
    if (ch.flags & CHANNEL_TRIGGER) start_note(ch, channel, sample);
    Voice& v = *ch.voice;
    if (ch.flags & CHANNEL_VOLUME) channel_volume_update(ch);
    if (ch.flags & CHANNEL_PANNING) {
        int64_t room = PAN_CENTRE - std::abs(int64_t{ch.panning} - PAN_CENTRE);
        int64_t pan = int64_t{ch.panning} +
                      ((int64_t{ch.pan_env_value - PAN_ENVELOPE_CENTRE} * room) >> PAN_SWING_SHIFT);
        v.final_pan = static_cast<int32_t>(std::clamp<int64_t>(pan, 0, PAN_MAX));
        set_targets(v);
    }
    if (ch.flags & CHANNEL_FREQUENCY) {
        bool linear = (song.module_flags & MODULE_LINEAR_FREQUENCIES) != 0;
        v.step = frequency_step(period_frequency(ch.period, ch.period_delta, linear));
    }
}
