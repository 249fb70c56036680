// Effects and volume-column commands: slides in and out of range, arpeggio, portamento limits,
// tremor, retrigger, note cut, global volume, panning, and the waveform tables.
#include "audio/music/waveforms.h"
#include "sequencer_fixture.h"

namespace {

using Effects = Sequencer;

constexpr uint8_t C4 = 49;

TEST_F(Effects, VolumeSlidesOutOfRangeAreSilentBelowAndFullAbove) {
    put(0, 0, Cell{C4, 1, 0, 0x0C, 16});
    put(1, 0, Cell{0, 0, 0, 0x0A, 0x0F}); // down 15 a tick
    put(2, 0, Cell{0, 0, 0, 0x0A, 0xF0}); // up 15 a tick
    put(3, 0, Cell{0, 0, 0, 0x0A, 0});    // again, from memory
    put(4, 0, Cell{0, 0, 0, 0x0A, 0x0F});
    start();
    ticks(6);
    ticks(6);
    EXPECT_EQ(channel(0).volume, 16 - 75);
    EXPECT_EQ(voice(0).final_volume, 0);
    ticks(6);
    EXPECT_EQ(channel(0).volume, 16);
    ticks(6);
    EXPECT_EQ(channel(0).volume, 91);
    EXPECT_EQ(voice(0).final_volume, 127);
    ticks(2);
    EXPECT_EQ(channel(0).volume, 76);
    EXPECT_EQ(voice(0).final_volume, 127) << "still above full volume";
    ticks(2);
    EXPECT_EQ(channel(0).volume, 46);
    EXPECT_EQ(voice(0).final_volume, 46 * 255 * 64 * 64 * int64_t{65536} >> 35);
}

TEST_F(Effects, VolumeColumnSetsAndSlides) {
    put(0, 0, Cell{C4, 1, 0x30, 0, 0}); // volume 32
    put(1, 0, Cell{0, 0, 0x62, 0, 0});  // down 2, on every tick
    put(2, 0, Cell{0, 0, 0x93, 0, 0});  // fine up 3, once
    put(3, 0, Cell{0, 0, 0xC4, 0, 0});  // panning 64
    put(4, 0, Cell{0, 0, 0xE2, 0, 0});  // panning right 2 a tick
    start();
    sequencer_tick();
    EXPECT_EQ(channel(0).volume, 32);
    ticks(5 + 6);
    EXPECT_EQ(channel(0).volume, 32 - 12);
    ticks(6);
    EXPECT_EQ(channel(0).volume, 32 - 12 + 3);
    ticks(6);
    EXPECT_EQ(channel(0).panning, 64);
    ticks(6);
    EXPECT_EQ(channel(0).panning, 64 + 12);
    EXPECT_EQ(voice(0).final_pan, 76);
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
    put(4, 0, Cell{0, 0, 0, 0x0E, 0xA0}); // fine volume from memory: down again
    start();
    ticks(12);
    EXPECT_EQ(channel(0).period, 4608 - 24);
    ticks(6);
    EXPECT_EQ(channel(0).period, 4608 - 24 + 5);
    ticks(12);
    EXPECT_EQ(channel(0).volume, 64 - 8);
}

TEST_F(Effects, TremorSoundsOnePlusOnTicksAndRestsOnePlusOff) {
    m.speed = 10;
    put(0, 0, Cell{C4, 1, 0, 0x1D, 0x21});
    start();
    std::vector<int> heard;
    for (int i = 0; i < 10; ++i) {
        sequencer_tick();
        heard.push_back(voice(0).final_volume > 0);
    }
    EXPECT_EQ(heard, (std::vector<int>{1, 1, 1, 0, 0, 1, 1, 1, 0, 0}));
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
    EXPECT_EQ(voice(0).final_volume, 127);
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
    EXPECT_EQ(voice(0).final_volume, 127);
    sequencer_tick();
    EXPECT_EQ(voice(0).final_volume, 0);
}

TEST_F(Effects, GlobalVolumeSetAndSlide) {
    put(0, 0, Cell{C4, 1, 0, 0x10, 32});
    put(1, 0, Cell{0, 0, 0, 0x11, 0x02}); // down 2 a tick
    put(1, 1, Cell{0, 0, 0, 0x11, 0});    // the memory is the song's: another 2 from channel 2
    start();
    sequencer_tick();
    EXPECT_EQ(song.global_volume, 32);
    EXPECT_EQ(voice(0).final_volume, 63);
    ticks(5 + 6);
    EXPECT_EQ(song.global_volume, 32 - 5 * 4);
}

TEST_F(Effects, PanningCommandsAndSlideLimits) {
    put(0, 0, Cell{C4, 1, 0, 0x08, 250});
    put(1, 0, Cell{0, 0, 0, 0x19, 0x30}); // right 3 a tick, up to 255
    put(2, 0, Cell{0, 0, 0, 0x0E, 0x81}); // 16
    put(3, 0, Cell{0, 0, 0, 0x19, 0x0F}); // left 15 a tick, down to 0
    start();
    sequencer_tick();
    EXPECT_EQ(voice(0).final_pan, 250);
    EXPECT_EQ(voice(0).target_left, 127 * 5 / 255);
    ticks(11);
    EXPECT_EQ(channel(0).panning, 255);
    ticks(6);
    EXPECT_EQ(channel(0).panning, 16);
    ticks(6);
    EXPECT_EQ(channel(0).panning, 0);
    EXPECT_EQ(voice(0).target_right, 0);
}

TEST_F(Effects, VibratoAndTremoloMoveTheirDeltas) {
    put(0, 0, Cell{C4, 1, 0, 0x04, 0x8F}); // speed 8, depth 15
    put(1, 0, Cell{0, 0, 0, 0x07, 0x4F});
    put(2, 0, Cell{0, 0, 0, 0x00, 0x00});
    start();
    sequencer_tick();
    EXPECT_EQ(channel(0).period_delta, 0) << "phase 0 of the sine";
    sequencer_tick();
    EXPECT_EQ(channel(0).period_delta, ((15 * 90) >> 5) >> 1);
    ticks(4 + 4);
    EXPECT_EQ(channel(0).volume_delta, (15 * 90) >> 5);
    ticks(2);
    int last_delta = channel(0).volume_delta;
    sequencer_tick();
    EXPECT_EQ(channel(0).volume, 64 + last_delta) << "the tremolo's last offset stays after it";
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
