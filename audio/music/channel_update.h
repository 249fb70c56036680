// The channel update: after a channel's commands on every tick, its state becomes voice
// parameters (automatic vibrato, note start with the handover to the other voice of the pair,
// final volume and panning targets, sampling step).
// Threads: the output thread.
#pragma once
#include "audio/music/song.h"

// channel is the channel's index (its voice pair is voices[2 x channel], voices[2 x channel + 1]).
void channel_update(ChannelState& ch, int channel, const Instrument& instrument, const SampleRecord& sample);

// The channel's final volume and its voice's targets from its volume, envelope, fade and the
// global volume, as the channel update computes them when the volume changed.
void channel_volume_update(ChannelState& ch);
