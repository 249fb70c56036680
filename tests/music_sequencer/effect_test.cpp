// Effects and volume-column commands: slides in and out of range, arpeggio, portamento limits,
// tremor, retrigger, note cut, global volume, panning, and the waveform tables.
#include "audio/music/waveforms.h"
#include "sequencer_fixture.h"

namespace {

using Effects = Sequencer;

constexpr uint8_t C4 = 49;

TEST_F(Effects, VolumesStayWithinRangeSoSlidesTurnBackAtOnce) {
    m.instruments[0].samples[0].volume = 80;
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(1, 0, Cell{0, 0, 0, 0x0A, 0x0F}); // down 15 a tick, stops at 0
    put(2, 0, Cell{0, 0, 0, 0x0A, 0x10}); // up 1 a tick, heard from the first
    put(3, 0, Cell{0, 0, 0, 0x0C, 80});
    put(4, 0, Cell{0, 0, 0, 0x0A, 0x02});
    put(5, 0, Cell{0, 0, 0x10, 0x1B, 0xF1}); // retrigger doubling from 0, then from 64
    put(6, 0, Cell{0, 0, 0x50, 0x1B, 0xF1});
    start();
    sequencer_tick();
    EXPECT_EQ(channel(0).volume, 64) << "the sample's default volume";
    ticks(5 + 6);
    EXPECT_EQ(channel(0).volume, 0);
    ticks(6);
    EXPECT_EQ(channel(0).volume, 5);
    ticks(6);
    EXPECT_EQ(channel(0).volume, 64);
    ticks(6);
    EXPECT_EQ(channel(0).volume, 64 - 10);
    ticks(12);
    EXPECT_EQ(channel(0).volume, 64);
}

TEST_F(Effects, VolumeColumnSetsAndSlides) {
    put(0, 0, Cell{C4, 1, 0x30, 0, 0}); // volume 32
    put(1, 0, Cell{0, 0, 0x62, 0, 0});  // down 2, on every tick but the first
    put(2, 0, Cell{0, 0, 0x93, 0, 0});  // fine up 3, once
    put(3, 0, Cell{0, 0, 0xC4, 0, 0});  // panning 64
    put(4, 0, Cell{0, 0, 0xE2, 0, 0});  // panning right 2 a tick, from the second tick on
    start();
    sequencer_tick();
    EXPECT_EQ(channel(0).volume, 32);
    ticks(5 + 1);
    EXPECT_EQ(channel(0).volume, 32);
    ticks(5);
    EXPECT_EQ(channel(0).volume, 32 - 10);
    ticks(6);
    EXPECT_EQ(channel(0).volume, 32 - 10 + 3);
    ticks(6);
    EXPECT_EQ(channel(0).panning, 64);
    ticks(6);
    EXPECT_EQ(channel(0).panning, 64 + 10);
    EXPECT_EQ(voice(0).final_pan, 74);
}

TEST_F(Effects, ArpeggioCyclesThroughItsThreeNotes) {
    put(0, 0, Cell{C4, 1, 0, 0x00, 0x47});
    start();
    std::vector<int> deltas;
    for (int i = 0; i < 6; ++i) {
        sequencer_tick();
        deltas.push_back(channel(0).period_delta);
    }
    EXPECT_EQ(deltas, (std::vector<int>{0, 256, 448, 0, 256, 448}));

    m.flags = 0;
    start();
    ticks(2);
    EXPECT_EQ(channel(0).period_delta, classic_period(52, 0) - classic_period(48, 0));
}

TEST_F(Effects, PortamentoUpStopsAtPeriodOneAndDownSharesItsMemory) {
    put(0, 0, Cell{C4, 1, 0, 0x01, 0xFF});
    put(1, 0, Cell{0, 0, 0, 0x02, 0});
    start();
    ticks(6);
    EXPECT_EQ(channel(0).period, 1);
    EXPECT_GT(voice(0).step, 0u);
    ticks(6);
    EXPECT_EQ(channel(0).period, 1 + 5 * 4 * 255);
}

TEST_F(Effects, FineSlidesActOnceAndKeepTheirMemories) {
    put(0, 0, Cell{C4, 1, 0, 0x0E, 0x13});
    put(1, 0, Cell{0, 0, 0, 0x0E, 0x10});
    put(2, 0, Cell{0, 0, 0, 0x21, 0x25}); // extra-fine down 5
    put(3, 0, Cell{0, 0, 0, 0x0E, 0xB4}); // fine volume down 4
    put(4, 0, Cell{0, 0, 0, 0x0E, 0xA0}); // fine volume up from its own memory: none yet
    start();
    ticks(12);
    EXPECT_EQ(channel(0).period, 4608 - 24);
    ticks(6);
    EXPECT_EQ(channel(0).period, 4608 - 24 + 5);
    ticks(12);
    EXPECT_EQ(channel(0).volume, 64 - 4);
}

TEST_F(Effects, TremorSoundsOnePlusOnTicksAndRestsOnePlusOff) {
    // T10: 2 ticks on, 1 off, counted across rows on the ticks after the first; a row's first
    // tick keeps what the last tick had, and so do the rows after, until an instrument number.
    put(0, 0, Cell{C4, 1, 0, 0x1D, 0x10});
    put(1, 0, Cell{0, 0, 0, 0x1D, 0});
    put(2, 0, Cell{0, 0, 0, 0x1D, 0});
    put(4, 0, Cell{0, 1, 0, 0, 0});
    start();
    std::vector<int> heard;
    for (int i = 0; i < 30; ++i) {
        sequencer_tick();
        heard.push_back(voice(0).final_volume > 0);
    }
    EXPECT_EQ(heard, (std::vector<int>{1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 0, 1, 1, 1, 0,
                                       1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1}));
}

TEST_F(Effects, MultiRetriggerChangesTheVolumeAndNeverOverflows) {
    m.speed = 31;
    put(0, 0, Cell{C4, 1, 0, 0x1B, 0x61});   // x 2/3 every tick
    put(1, 0, Cell{0, 0, 0x50, 0x1B, 0xF1}); // from 64, x 2 every tick
    start();
    ticks(2);
    EXPECT_EQ(channel(0).volume, 64 * 2 / 3);
    ticks(29);
    for (int i = 0; i < 31 * 4; ++i) {
        sequencer_tick();
        ASSERT_GT(channel(0).volume, 0);
    }
    EXPECT_EQ(voice(0).final_volume, FULL_FINAL);
}

// The ticks on which the channel's note (re)starts, over the first rows.
TEST_F(Effects, RowEffectCases) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, Cell>> rows;
        std::vector<int> starts;
    };
    const Case cases[] = {
        {"R85 counts on across rows",
         {{0, Cell{C4, 1, 0, 0x1B, 0x85}}, {1, Cell{0, 0, 0, 0x1B, 0x85}}, {2, Cell{0, 0, 0, 0x1B, 0x85}}},
         {0, 5, 10, 15}},
        {"ED0 plays the note at once", {{0, Cell{C4, 1, 0, 0x0E, 0xD0}}}, {0}},
        {"a note that its relative note takes past the range is not played",
         {{0, Cell{C4, 1, 0, 0, 0}}, {1, Cell{96, 1, 0, 0, 0}}},
         {0}},
    };
    for (const Case& c : cases) {
        m = tone_module(2);
        m.instruments[0].samples[0].relative_note = 30;
        m.patterns.push_back(xm::pattern(m, 64));
        for (const auto& [row, cell] : c.rows)
            put(row, 0, cell);
        start();
        // A start moves a sounding channel to the other voice of its pair.
        std::vector<int> starts;
        const Voice* playing = &voice(0);
        bool sounding = false;
        for (int tick = 0; tick < 18; ++tick) {
            sequencer_tick();
            if (voice(0).sample && (!sounding || &voice(0) != playing)) starts.push_back(tick);
            playing = &voice(0);
            sounding = voice(0).sample != nullptr;
        }
        EXPECT_EQ(starts, c.starts) << c.name;
    }
    // Both loop bits set: ping-pong.
    m = tone_module(2);
    m.patterns.push_back(xm::pattern(m, 64));
    m.instruments[0].samples[0].loop_type = 3;
    start();
    EXPECT_EQ(song.instrument_table[0].samples[0]->loop_type, 2);
}

TEST_F(Effects, RetriggerRestartsTheNoteOnItsInterval) {
    put(0, 0, Cell{C4, 1, 0, 0x0E, 0x92});
    start();
    sequencer_tick();
    Voice* first = &voice(0);
    sequencer_tick();
    EXPECT_EQ(&voice(0), first);
    sequencer_tick();
    EXPECT_NE(&voice(0), first) << "tick 2 restarts on the other voice";
}

TEST_F(Effects, NoteCutSilencesOnItsTick) {
    put(0, 0, Cell{C4, 1, 0, 0x0E, 0xC2});
    start();
    ticks(2);
    EXPECT_EQ(voice(0).final_volume, FULL_FINAL);
    sequencer_tick();
    EXPECT_EQ(voice(0).final_volume, 0);
}

TEST_F(Effects, GlobalVolumeReachesEveryChannelAtOnceAndStaysInRange) {
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(0, 1, Cell{0, 0, 0, 0x10, 80});   // above full: 64
    put(1, 1, Cell{0, 0, 0, 0x10, 32});   // halves channel 1 on its own tick
    put(2, 1, Cell{0, 0, 0, 0x11, 0x0F}); // down 15 a tick, stops at 0
    put(3, 0, Cell{0, 0, 0, 0x11, 0x10}); // up 1 a tick
    start();
    sequencer_tick();
    EXPECT_EQ(song.global_volume, 64);
    EXPECT_EQ(voice(0).final_volume, FULL_FINAL);
    ticks(6);
    EXPECT_EQ(voice(0).final_volume, 8160); // 127.5 x 128 / 2
    ticks(5 + 4);
    EXPECT_EQ(song.global_volume, 0);
    EXPECT_EQ(voice(0).final_volume, 0);
    ticks(2 + 6);
    EXPECT_EQ(song.global_volume, 5) << "climbs back from 0 at once";
}

TEST_F(Effects, PanningCommandsAndSlideLimits) {
    put(0, 0, Cell{C4, 1, 0, 0x08, 250});
    put(1, 0, Cell{0, 0, 0, 0x19, 0x30}); // right 3 a tick, up to 255
    put(2, 0, Cell{0, 0, 0, 0x0E, 0x81}); // 16
    put(3, 0, Cell{0, 0, 0, 0x19, 0x0F}); // left 15 a tick, down to 0
    start();
    sequencer_tick();
    EXPECT_EQ(voice(0).final_pan, 250);
    EXPECT_EQ(voice(0).target_left, FULL_FINAL * 5 / 255 / 16 * 16);
    ticks(11);
    EXPECT_EQ(channel(0).panning, 255);
    ticks(6);
    EXPECT_EQ(channel(0).panning, 16);
    ticks(6);
    EXPECT_EQ(channel(0).panning, 0);
    EXPECT_EQ(voice(0).target_right, 0);
}

TEST_F(Effects, VibratoLowersThePitchFirstAndHoldsItsPhaseOnTheFirstTickOfARow) {
    struct Case {
        uint16_t flags;
        Cell row0, row1; // vibrato speed 8, depth 15 on both rows, as effects or volume column
    };
    for (Case c : {Case{MODULE_LINEAR_FREQUENCIES, {C4, 1, 0, 0x04, 0x8F}, {0, 0, 0, 0x06, 0}},
                   Case{MODULE_LINEAR_FREQUENCIES, {C4, 1, 0xA8, 0, 0}, {0, 0, 0xBF, 0, 0}},
                   Case{0, {C4, 1, 0, 0x04, 0x8F}, {0, 0, 0, 0x04, 0}}}) {
        m.flags = c.flags;
        put(0, 0, c.row0);
        put(1, 0, c.row1);
        if (c.row0.volume) put(0, 0, Cell{C4, 1, 0xA8, 0x04, 0x0F});
        start();
        const int sign = c.flags ? -1 : 1; // the linear table's delta raises the pitch
        std::vector<int> deltas;
        for (int i = 0; i < 8; ++i) {
            sequencer_tick();
            deltas.push_back(sign * channel(0).period_delta);
        }
        // Phases 0, 0, 8, 16, 24, 32 on row 0, then row 1 holds 40 before moving on.
        EXPECT_EQ(deltas, (std::vector<int>{0, 0, 84, 119, 84, 0, -84, -84}))
            << c.flags << int(c.row0.volume);
    }
}

TEST_F(Effects, TremoloHoldsItsPhaseBetweenRowsAndItsLastOffsetStays) {
    put(0, 0, Cell{C4, 1, 0x30, 0x07, 0x4F}); // volume 32, speed 4, depth 15
    put(1, 0, Cell{0, 0, 0, 0x07, 0});
    start();
    ticks(6);
    EXPECT_EQ(channel(0).volume_delta, 59) << "phase 16 after four moves: (15 x 127) >> 5";
    sequencer_tick();
    EXPECT_EQ(channel(0).volume_delta, 54) << "the next row's first tick holds phase 20";
    ticks(5);
    EXPECT_EQ(channel(0).volume_delta, -22);
    sequencer_tick();
    EXPECT_EQ(channel(0).volume, 32 - 22);
    EXPECT_EQ(channel(0).volume_delta, 0);
}

TEST(Waveforms, EveryWaveformStaysWithinTheSineRange) {
    EXPECT_EQ(wave_value(16, 0), 127);
    EXPECT_EQ(wave_value(48, 0), -127);
    EXPECT_EQ(wave_value(5, 2), 127);
    EXPECT_EQ(wave_value(40, 3), -127);
    for (int w = 0; w < 8; ++w)
        for (int p = 0; p < WAVE_PHASES; ++p) {
            ASSERT_LE(wave_value(p, w), 127) << w << " " << p;
            ASSERT_GE(wave_value(p, w), -127) << w << " " << p;
        }
    for (int p = 1; p < WAVE_PHASES; ++p) {
        if (p == 32) continue; // the one jump back up
        EXPECT_LT(wave_value(p, 1), wave_value(p - 1, 1)) << "the ramp falls";
    }
    for (int t = 0; t < 4; ++t)
        for (int p = 0; p < AUTOVIB_PHASES; ++p) {
            ASSERT_LE(autovib_value(p, t), 64);
            ASSERT_GE(autovib_value(p, t), -64);
        }
    EXPECT_EQ(autovib_value(64, 0), 64);
    EXPECT_EQ(autovib_value(192, 0), -64);
    EXPECT_EQ(retrigger_volume(64, 8), 64);
    EXPECT_EQ(retrigger_volume(64, 5), 48);
    EXPECT_EQ(retrigger_volume(64, 14), 96);
}

} // namespace
