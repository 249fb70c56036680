// Sample decoding: 8-bit, 16-bit and 4-bit packed points, loop normalisation and guard points.
#include "audio/music/sample_decoder.h"
#include "music_common/module_fixture.h"

namespace {

class Samples : public ModuleFixture {
  protected:
    // Loads a module whose one instrument holds the given sample and returns the loaded record.
    const SampleRecord* load_sample(const xm::Sample& sample) {
        xm::Module m;
        m.channels = 1;
        m.patterns.push_back(xm::pattern(m, 1));
        xm::Instrument in;
        in.samples.push_back(sample);
        m.instruments.push_back(in);
        if (!load(m)) return nullptr;
        return song.instrument_table[0].samples[0];
    }
};

xm::Sample raw_sample(std::vector<uint8_t> bytes, uint32_t header_length, bool bits16 = false) {
    xm::Sample s;
    s.raw = std::move(bytes);
    s.header_length = header_length;
    s.bits16 = bits16;
    return s;
}

TEST_F(Samples, EightBitDeltasWidenAndAccumulate) {
    const SampleRecord* s = load_sample(raw_sample({10, 246, 20}, 3));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->length, 3);
    EXPECT_EQ(s->is_16bit, 0);
    EXPECT_EQ(sample_points(*s)[0], 2560);
    EXPECT_EQ(sample_points(*s)[1], 0);
    EXPECT_EQ(sample_points(*s)[2], 5120);
}

TEST_F(Samples, SixteenBitDeltasWrap) {
    // 30000, then +10000 wraps to -25536, then -5536 - 20000 = -31072... wraps as 16 bits.
    std::vector<int16_t> deltas = {30000, 10000, 20000, -1};
    std::vector<uint8_t> bytes;
    for (int16_t d : deltas) {
        bytes.push_back(static_cast<uint8_t>(d & 0xFF));
        bytes.push_back(static_cast<uint8_t>((d >> 8) & 0xFF));
    }
    const SampleRecord* s = load_sample(raw_sample(bytes, 8, true));
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->length, 4) << "bytes become points";
    EXPECT_EQ(s->is_16bit, 1);
    EXPECT_EQ(sample_points(*s)[0], 30000);
    EXPECT_EQ(sample_points(*s)[1], static_cast<int16_t>(40000 - 65536));
    EXPECT_EQ(sample_points(*s)[2], static_cast<int16_t>(-25536 + 20000));
    EXPECT_EQ(sample_points(*s)[3], static_cast<int16_t>(-5536 - 1));
}

TEST_F(Samples, FourBitPackedUsesTheDeltaTableLowNibbleFirst) {
    std::array<int8_t, 16> table{};
    table[1] = 1;
    table[2] = -3;
    table[3] = 100;
    // Five points: +1, +1, -3, +100, +100 (the last wraps past 127); the odd count adds a sixth.
    xm::Sample s = raw_sample(xm::pack_4bit(table, {1, 1, 2, 3, 3}), 5);
    s.packing = SAMPLE_PACKED_4BIT;
    const SampleRecord* r = load_sample(s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->length, 5);
    const int expected[] = {1, 2, -1, 99, static_cast<int8_t>(199)};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(sample_points(*r)[i], expected[i] * 256) << i;
    EXPECT_EQ(sample_points(*r)[5], expected[4] * 256)
        << "the extra point of an odd length (nibble 0, delta 0)";
}

TEST_F(Samples, LoopStartBeyondTheEndMeansNoLoop) {
    xm::Sample s = xm::square_sample(100, 1000);
    s.loop_start = 150;
    s.loop_length = 10;
    const SampleRecord* r = load_sample(s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->loop_type, 0);
    EXPECT_EQ(r->loop_start, 0);
    EXPECT_EQ(r->loop_length, 100);
}

TEST_F(Samples, LoopRunningPastTheEndEndsAtTheLastPoint) {
    xm::Sample s = xm::square_sample(100, 1000);
    s.loop_start = 60;
    s.loop_length = 1000;
    const SampleRecord* r = load_sample(s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->loop_type, 1);
    EXPECT_EQ(r->loop_start, 60);
    EXPECT_EQ(r->loop_length, 40);
}

TEST_F(Samples, HugeLoopFieldsStayInsideTheSample) {
    // Loop fields with the top bit set must not turn into negative indices.
    xm::Sample s = raw_sample(std::vector<uint8_t>(16, 1), 16);
    s.loop_type = 1;
    s.header_loop_start_bytes = 0x80000004u;
    s.header_loop_length_bytes = 0xFFFFFFF0u;
    const SampleRecord* r = load_sample(s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->loop_type, 0);
    EXPECT_EQ(r->loop_start, 0);
    EXPECT_EQ(r->loop_length, 16);
    s.header_loop_start_bytes = 4;
    r = load_sample(s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->loop_start, 4);
    EXPECT_EQ(r->loop_length, 12);
}

TEST_F(Samples, ZeroLengthLoopMeansNoLoop) {
    xm::Sample s = xm::square_sample(20, 1000);
    s.loop_type = 2;
    s.loop_length = 0;
    const SampleRecord* r = load_sample(s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->loop_type, 0);
    EXPECT_EQ(r->loop_length, 20);
}

TEST_F(Samples, GuardPointRepeatsWhatTheLoopPlaysNext) {
    xm::Sample s;
    s.bits16 = true;
    for (int i = 0; i < 8; ++i)
        s.points.push_back(static_cast<int16_t>(100 * (i + 1)));
    s.loop_start = 2;
    s.loop_length = 4; // points 2..5; guard at 6

    s.loop_type = 1;
    const SampleRecord* r = load_sample(s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(sample_points(*r)[6], 300) << "forward: the loop's first point";

    s.loop_type = 2;
    r = load_sample(s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(sample_points(*r)[6], 600) << "ping-pong: the point before the guard";

    s.loop_type = 0;
    r = load_sample(s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(sample_points(*r)[8], 0) << "no loop: the spare point stays silent";
    EXPECT_EQ(sample_points(*r)[6], 700) << "no loop: the points are untouched";
}

TEST_F(Samples, TooLongSampleFails) {
    xm::Sample s = raw_sample({1, 2, 3}, MAX_SAMPLE_POINTS);
    EXPECT_EQ(load_sample(s), nullptr);
    s.header_length = MAX_SAMPLE_POINTS - 1; // the data is short: loads with silent points
    const SampleRecord* r = load_sample(s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(sample_points(*r)[2], 6 * 256);
    EXPECT_EQ(sample_points(*r)[3], 6 * 256) << "the deltas of missing bytes are 0";
}

} // namespace
