// A module built in code, loaded, and driven tick by tick without any device.
#pragma once
#include "audio/music/frequency.h"
#include "audio/music/sequencer.h"
#include "music_common/module_fixture.h"

class Sequencer : public ModuleFixture {
  protected:
    Sequencer() {
        m = tone_module(2);
        m.speed = 6;
        m.patterns.push_back(xm::pattern(m, 64));
    }

    void put(int row, int channel, Cell c, int pattern_index = 0) {
        xm::cell(m, m.patterns[static_cast<size_t>(pattern_index)], row, channel) = c;
    }

    void start() { ASSERT_TRUE(load(m)); }

    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            sequencer_tick();
    }

    ChannelState& channel(int c) { return song.channels[c]; }
    Voice& voice(int c) { return *song.channels[c].voice; }

    static uint64_t step_of(int64_t frequency) { return frequency_step(frequency); }

    static constexpr int32_t FULL_FINAL = 127 * 128; // a voice's final volume at full
    static constexpr int32_t ENVELOPE_STEP = 256;    // an envelope value of 1

    xm::Module m;
};
