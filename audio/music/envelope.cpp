#include "audio/music/envelope.h"

#include <algorithm>

namespace {

constexpr int32_t ENVELOPE_ONE = 65536;
constexpr int32_t ENVELOPE_MAX16 = 64 * ENVELOPE_ONE;
constexpr int VALUE_SHIFT = 8; // the cursor's value keeps 8 bits of the fraction

void set_value(const EnvelopeCursor& c, int32_t value16) {
    c.value16 = value16;
    c.value = value16 >> VALUE_SHIFT;
}

// Slope towards the next point; a segment that does not move forward in time has none (the
// walk then reaches its end point on the next tick).
int32_t segment_slope(const EnvelopePoint& from, const EnvelopePoint& to) {
    int span = to.tick - from.tick;
    if (span <= 0) return 0;
    return (to.value - from.value) * ENVELOPE_ONE / span;
}

} // namespace

EnvelopeShape volume_envelope(const Instrument& in) {
    return {in.volume_envelope,   in.volume_points,   in.volume_sustain,
            in.volume_loop_start, in.volume_loop_end, in.volume_type};
}

EnvelopeShape panning_envelope(const Instrument& in) {
    return {in.panning_envelope,   in.panning_points,   in.panning_sustain,
            in.panning_loop_start, in.panning_loop_end, in.panning_type};
}

EnvelopeCursor volume_cursor(ChannelState& ch) {
    return {ch.vol_env_tick,    ch.vol_env_point, ch.vol_env_slope,
            ch.vol_env_value16, ch.vol_env_value, ch.vol_env_done};
}

EnvelopeCursor panning_cursor(ChannelState& ch) {
    return {ch.pan_env_tick,    ch.pan_env_point, ch.pan_env_slope,
            ch.pan_env_value16, ch.pan_env_value, ch.pan_env_done};
}

bool envelope_step(const EnvelopeShape& shape, const EnvelopeCursor& c, bool key_released) {
    if (c.done) return false;
    if (c.point < 0 || c.point >= shape.count) {
        ++c.tick;
        set_value(c, c.value16);
        return true;
    }
    // Reaching a point: "at or past" rather than "at", so that points whose ticks do not rise
    // are passed instead of being waited for forever.
    if (c.tick >= shape.points[c.point].tick) {
        // A sustain point at the loop's end lets a released note leave the loop for the rest.
        const bool sustain_here = (shape.type & ENVELOPE_SUSTAIN) && c.point == shape.sustain;
        if ((shape.type & ENVELOPE_LOOP) && c.point == shape.loop_end && !(sustain_here && key_released)) {
            c.point = shape.loop_start;
            c.tick = shape.points[c.point].tick;
        }
        const EnvelopePoint& here = shape.points[c.point];
        set_value(c, here.value * ENVELOPE_ONE);
        if (c.point >= shape.count - 1) {
            c.done = 1;
            return true;
        }
        if ((shape.type & ENVELOPE_SUSTAIN) && c.point == shape.sustain && !key_released) return true;
        c.slope = segment_slope(here, shape.points[c.point + 1]);
        ++c.point;
        ++c.tick;
        return true;
    }
    set_value(c, std::clamp(c.value16 + c.slope, 0, ENVELOPE_MAX16));
    ++c.tick;
    return true;
}

void envelope_set_position(const EnvelopeShape& shape, const EnvelopeCursor& c, int tick) {
    int i = 0;
    while (i < shape.count - 1 && shape.points[i + 1].tick < tick)
        ++i;
    if (i >= shape.count - 1) {
        c.point = shape.count - 1;
        set_value(c, shape.points[c.point].value * ENVELOPE_ONE);
        c.done = 1;
        return;
    }
    const EnvelopePoint& from = shape.points[i];
    c.tick = tick;
    c.slope = segment_slope(from, shape.points[i + 1]);
    set_value(c, std::clamp(from.value * ENVELOPE_ONE + c.slope * std::max(0, tick - from.tick), 0,
                            ENVELOPE_MAX16));
    c.point = i + 1;
    c.done = 0;
}
