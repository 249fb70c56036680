// Key-off, volume envelopes with sustain and loop, fade-out, the envelope position command and
// automatic vibrato.
#include "audio/music/envelope.h"
#include "sequencer_fixture.h"

namespace {

using Envelopes = Sequencer;

constexpr uint8_t C4 = 49;

void sustained_envelope(xm::Instrument& in) {
    in.volume.points = {{0, 64}, {4, 32}, {8, 0}};
    in.volume.sustain = 1;
    in.volume.type = ENVELOPE_ON | ENVELOPE_SUSTAIN;
    in.fadeout = 100;
}

TEST_F(Envelopes, KeyOffWithoutEnvelopeSilencesAtOnce) {
    for (Cell off : {Cell{NOTE_KEY_OFF, 0, 0, 0, 0}, Cell{0, 0, 0, 0x14, 0x00}}) {
        put(0, 0, Cell{C4, 1, 0, 0, 0});
        put(1, 0, off);
        start();
        ticks(6);
        EXPECT_EQ(voice(0).final_volume, FULL_FINAL);
        sequencer_tick();
        EXPECT_EQ(voice(0).final_volume, 0) << int(off.note);
        EXPECT_NE(voice(0).sample, nullptr) << "the voice itself keeps running";
    }
}

TEST_F(Envelopes, SustainHoldsUntilKeyOffThenTheEnvelopeAndFadeOutRun) {
    sustained_envelope(m.instruments[0]);
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(3, 0, Cell{NOTE_KEY_OFF, 0, 0, 0, 0});
    start();
    sequencer_tick();
    EXPECT_EQ(channel(0).vol_env_value, 64 * ENVELOPE_STEP);
    ticks(2);
    EXPECT_EQ(channel(0).vol_env_value, 48 * ENVELOPE_STEP) << "halfway down the first segment";
    ticks(15);
    EXPECT_EQ(channel(0).vol_env_value, 32 * ENVELOPE_STEP) << "held at the sustain point";
    EXPECT_EQ(channel(0).fade, 65536);
    EXPECT_EQ(voice(0).final_volume, 8160); // 127.5 x 128 / 2

    sequencer_tick(); // the key-off row
    EXPECT_EQ(channel(0).fade, 65536 - 200) << "the fade-out value is doubled";
    ticks(2);
    EXPECT_EQ(channel(0).vol_env_value, 16 * ENVELOPE_STEP);
    EXPECT_EQ(channel(0).fade, 65536 - 3 * 200);
    ticks(10);
    EXPECT_EQ(channel(0).vol_env_value, 0 * ENVELOPE_STEP);
    EXPECT_TRUE(channel(0).vol_env_done);
}

TEST_F(Envelopes, FadeOutStopsAtZero) {
    m.instruments[0].volume.points = {{0, 64}, {1, 64}};
    m.instruments[0].volume.type = ENVELOPE_ON;
    m.instruments[0].fadeout = 0xFFF;
    put(0, 0, Cell{C4, 1, 0, 0x14, 0});
    start();
    ticks(12);
    EXPECT_EQ(channel(0).fade, 0);
    EXPECT_EQ(voice(0).final_volume, 0);
}

TEST_F(Envelopes, FadeOutGoesOnThroughAPatternStoredEmpty) {
    m.instruments[0].volume.points = {{0, 64}, {1, 64}};
    m.instruments[0].volume.type = ENVELOPE_ON;
    m.instruments[0].fadeout = 100;
    m.patterns[0] = xm::pattern(m, 1);
    put(0, 0, Cell{C4, 1, 0, 0x14, 0});
    xm::Pattern empty = xm::pattern(m, 8);
    empty.stored_empty = true;
    m.patterns.push_back(empty);
    m.orders = {0, 1};
    start();
    ticks(6 + 12);
    EXPECT_EQ(song.order, 1);
    EXPECT_EQ(channel(0).fade, 65536 - 18 * 200);
}

TEST_F(Envelopes, LoopKeepsTheEnvelopeCycling) {
    m.instruments[0].volume.points = {{0, 64}, {2, 0}, {4, 64}};
    m.instruments[0].volume.loop_start = 0;
    m.instruments[0].volume.loop_end = 2;
    m.instruments[0].volume.type = ENVELOPE_ON | ENVELOPE_LOOP;
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    start();
    std::vector<int> values;
    for (int i = 0; i < 12; ++i) {
        sequencer_tick();
        values.push_back(channel(0).vol_env_value / ENVELOPE_STEP);
    }
    EXPECT_EQ(values, (std::vector<int>{64, 32, 0, 32, 64, 32, 0, 32, 64, 32, 0, 32}));
    EXPECT_FALSE(channel(0).vol_env_done);
}

TEST_F(Envelopes, PositionCommandInterpolatesOrEnds) {
    sustained_envelope(m.instruments[0]);
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(1, 0, Cell{0, 0, 0, 0x15, 6});
    put(2, 0, Cell{0, 0, 0, 0x15, 40});
    start();
    ticks(6);
    sequencer_tick();
    // Set to tick 6 (value 16), then the row's own envelope step: the L comes after it.
    EXPECT_EQ(channel(0).vol_env_value, 16 * ENVELOPE_STEP);
    EXPECT_EQ(channel(0).vol_env_point, 2);
    EXPECT_FALSE(channel(0).vol_env_done);
    ticks(6);
    EXPECT_EQ(channel(0).vol_env_value, 0 * ENVELOPE_STEP);
    EXPECT_TRUE(channel(0).vol_env_done);
}

TEST(EnvelopeWalk, PointsOutOfOrderStillEndAndStayInRange) {
    Instrument in{};
    EnvelopePoint points[] = {{0, 64}, {10, 32}, {5, 0}, {7, 64}, {2, 10}};
    std::copy(std::begin(points), std::end(points), in.volume_envelope);
    in.volume_points = 5;
    in.volume_type = ENVELOPE_ON;
    ChannelState ch{};
    EnvelopeShape shape = volume_envelope(in);
    EnvelopeCursor cursor = volume_cursor(ch);
    int steps = 0;
    while (!ch.vol_env_done && steps < 1000) {
        envelope_step(shape, cursor, false);
        ASSERT_GE(ch.vol_env_value, 0);
        ASSERT_LE(ch.vol_env_value, 64 * 256);
        ++steps;
    }
    EXPECT_LT(steps, 20);
    EXPECT_EQ(ch.vol_env_value, 10 * 256);
}

TEST_F(Envelopes, PanningEnvelopeMovesThePanWithinItsRoom) {
    m.instruments[0].panning.points = {{0, 64}, {2, 0}};
    m.instruments[0].panning.type = ENVELOPE_ON;
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    start();
    sequencer_tick();
    EXPECT_EQ(voice(0).final_pan, 128 + 32 * 4 - 1) << "128 + (64 - 32) x (127 >> 5), limited to 255";
    ticks(2);
    EXPECT_EQ(voice(0).final_pan, 0);
}

TEST_F(Envelopes, AutomaticVibratoWithSweep) {
    xm::Instrument& in = m.instruments[0];
    in.vibrato_type = 1; // square: +64 for the first half of the phase
    in.vibrato_depth = 16;
    in.vibrato_rate = 64;
    in.vibrato_sweep = 4;
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    start();
    std::vector<int> deltas;
    for (int i = 0; i < 8; ++i) {
        sequencer_tick();
        deltas.push_back(channel(0).period_delta);
    }
    // depth 16 x 64 = 1024, scaled by sweep 0/4 .. 4/4, >> 6; the sign flips every two ticks.
    EXPECT_EQ(deltas, (std::vector<int>{0, 4, -8, -12, 16, 16, -16, -16}));
}

} // namespace
