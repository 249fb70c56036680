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

// Each case plays a note on row 0 and the given rows after it; the final volume is read at the
// listed ticks (6 a row): -1 stands for "heard at full", anything else is the exact value.
TEST_F(Envelopes, KeyOffCases) {
    struct Case {
        const char* name;
        std::vector<EnvelopePoint> points; // the volume envelope, none when empty
        std::vector<std::pair<int, Cell>> rows;
        std::vector<std::pair<int, int32_t>> volumes; // tick, final volume
    };
    const Case cases[] = {
        {"one point holds its value after the release",
         {{0, 32}},
         {{1, Cell{NOTE_KEY_OFF, 0, 0, 0, 0}}},
         {{5, FULL_FINAL / 2 + 32}, {30, FULL_FINAL / 2 + 32}}},
        {"without an envelope the release drops the volume and a later Cxx brings it back",
         {},
         {{1, Cell{NOTE_KEY_OFF, 0, 0, 0, 0}}, {2, Cell{0, 0, 0, 0x0C, 0x40}}},
         {{6, 0}, {12, -1}}},
        {"an instrument number beside the release reloads the volume",
         {},
         {{1, Cell{NOTE_KEY_OFF, 1, 0, 0, 0}}},
         {{6, -1}}},
        {"K03 releases on tick 3 of its row", {}, {{1, Cell{0, 0, 0, 0x14, 0x03}}}, {{8, -1}, {9, 0}}},
        {"K00 beside a note releases instead of starting it",
         {},
         {{1, Cell{C4 + 12, 0, 0, 0x14, 0x00}}},
         {{6, 0}}},
    };
    for (const Case& c : cases) {
        m = tone_module(2);
        m.patterns.push_back(xm::pattern(m, 64));
        m.instruments[0].volume.points = c.points;
        m.instruments[0].volume.type = c.points.empty() ? 0 : ENVELOPE_ON;
        put(0, 0, Cell{C4, 1, 0, 0, 0});
        for (const auto& [row, cell] : c.rows)
            put(row, 0, cell);
        start();
        const Voice* first = &voice(0);
        int tick = 0;
        for (const auto& [at, volume] : c.volumes) {
            ticks(at + 1 - tick);
            tick = at + 1;
            EXPECT_EQ(voice(0).final_volume, volume < 0 ? FULL_FINAL : volume) << c.name << ", tick " << at;
        }
        EXPECT_EQ(&voice(0), first) << c.name << ": no note started again";
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

// Envelope values carry 8 bits of fraction into the final volume, so a slow fade is as long as it
// says; a sustain point at the loop's end lets a released note leave the loop.
TEST_F(Envelopes, EnvelopeCases) {
    struct Case {
        const char* name;
        xm::Envelope envelope;
        int release_row; // -1: never
        int tick;
        int32_t value;
        bool done;
    };
    const Case cases[] = {
        {"4 to 0 over 105 ticks, half-way", {{{0, 4}, {105, 0}}, 0, 0, 0, ENVELOPE_ON}, -1, 52, 517, false},
        {"4 to 0 over 105 ticks, near the end",
         {{{0, 4}, {105, 0}}, 0, 0, 0, ENVELOPE_ON},
         -1,
         100,
         49,
         false},
        {"sustain at the loop end, held, loops",
         {{{0, 64}, {4, 0}, {8, 64}, {60, 0}}, 2, 0, 2, ENVELOPE_ON | ENVELOPE_SUSTAIN | ENVELOPE_LOOP},
         -1,
         66,
         32 * ENVELOPE_STEP,
         false},
        {"sustain at the loop end, released, runs to the end",
         {{{0, 64}, {4, 0}, {8, 64}, {60, 0}}, 2, 0, 2, ENVELOPE_ON | ENVELOPE_SUSTAIN | ENVELOPE_LOOP},
         1,
         100,
         0,
         true},
    };
    for (const Case& c : cases) {
        m = tone_module(2);
        m.speed = 31;
        m.patterns.push_back(xm::pattern(m, 64));
        m.instruments[0].volume = c.envelope;
        put(0, 0, Cell{C4, 1, 0, 0, 0});
        if (c.release_row >= 0) put(c.release_row, 0, Cell{NOTE_KEY_OFF, 0, 0, 0, 0});
        start();
        ticks(c.tick + 1);
        EXPECT_EQ(channel(0).vol_env_value, c.value) << c.name;
        EXPECT_EQ(channel(0).vol_env_done != 0, c.done) << c.name;
        EXPECT_EQ(voice(0).final_volume > 0, c.value > 0) << c.name;
    }
    // The panning envelope swings the pan by its room, multiplied before the shift: 200 has a room
    // of 56, and a swing of 16 moves it 28 (56 >> 5 first would have moved it 16).
    m = tone_module(2);
    m.patterns.push_back(xm::pattern(m, 64));
    m.instruments[0].panning.points = {{0, 48}};
    m.instruments[0].panning.type = ENVELOPE_ON;
    put(0, 0, Cell{C4, 1, 0, 0x08, 200});
    start();
    sequencer_tick();
    EXPECT_EQ(voice(0).final_pan, 228);
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
