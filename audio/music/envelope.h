// Volume and panning envelopes: a cursor that walks an instrument's points tick by tick,
// holding at the sustain point until the key is released and jumping back at the loop end.
// The loader has bounded every point index, so the walk stays inside the 12 points.
// Threads: the output thread.
#pragma once
#include "audio/music/song.h"

#include <cstdint>

// An instrument's envelope, volume or panning.
struct EnvelopeShape {
    const EnvelopePoint* points;
    int count;
    int sustain, loop_start, loop_end;
    uint8_t type; // ENVELOPE_ON | ENVELOPE_SUSTAIN | ENVELOPE_LOOP
};

// A channel's position in one envelope (the fields of ChannelState).
struct EnvelopeCursor {
    int32_t& tick;
    int32_t& point;
    int32_t& slope;   // 16.16 per tick
    int32_t& value16; // 16.16
    int32_t& value;   // 0..64 in 1/256 steps, so slow fades stay smooth
    uint8_t& done;
};

EnvelopeShape volume_envelope(const Instrument& instrument);
EnvelopeShape panning_envelope(const Instrument& instrument);
EnvelopeCursor volume_cursor(ChannelState& ch);
EnvelopeCursor panning_cursor(ChannelState& ch);

// One tick of an enabled envelope. False when nothing changed (it had ended), true when the
// value was (re)computed and the channel's volume or panning needs updating.
bool envelope_step(const EnvelopeShape& shape, const EnvelopeCursor& cursor, bool key_released);

// Puts the cursor at envelope tick `tick`, interpolating within the segment that contains it.
void envelope_set_position(const EnvelopeShape& shape, const EnvelopeCursor& cursor, int tick);
