// The module header, patterns and instruments: what is read, what is normalised, what fails.
#include "audio/music/sequencer.h"
#include "music_common/module_fixture.h"

namespace {

class Loader : public ModuleFixture {};

xm::Module module_with_patterns(int stored, std::vector<uint8_t> orders) {
    xm::Module m = tone_module(2);
    for (int i = 0; i < stored; ++i)
        m.patterns.push_back(xm::pattern(m, 8));
    m.orders = std::move(orders);
    return m;
}

TEST_F(Loader, ReadsTheHeaderFigures) {
    xm::Module m = module_with_patterns(2, {1, 0, 1});
    m.channels = 6;
    m.speed = 4;
    m.bpm = 250;
    m.restart = 2;
    m.flags = 0;
    ASSERT_TRUE(load(m));
    EXPECT_EQ(song.channel_count, 6);
    EXPECT_EQ(song.song_length, 3);
    EXPECT_EQ(song.restart_order, 2);
    EXPECT_EQ(song.speed, 4);
    EXPECT_EQ(song.frames_per_tick, 480);
    EXPECT_EQ(song.global_volume, 64);
    EXPECT_EQ(song.module_flags, 0);
    EXPECT_EQ(song.instrument_count, 1);
    EXPECT_EQ(song.order_table[0], 1);
    EXPECT_EQ(song.tick, 0);
    EXPECT_EQ(song.pending_order.load(), 0);
    EXPECT_EQ(song.pending_row.load(), 0);
    // Each channel starts on the first voice of its pair, which steps at 1.0.
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(song.channels[c].voice, &song.voices[2 * c]);
        EXPECT_EQ(song.voices[2 * c].step, uint64_t{1} << 32);
        EXPECT_EQ(song.voices[2 * c + 1].step, 0u);
        EXPECT_EQ(song.voices[2 * c].sample, nullptr);
    }
}

TEST_F(Loader, OrdersNamingMissingPatternsGetSilent64RowPatterns) {
    xm::Module m = module_with_patterns(24, {0, 30, 23});
    ASSERT_TRUE(load(m));
    EXPECT_EQ(song.pattern_slot_count, 31);
    EXPECT_EQ(song.pattern_table[23].rows, 8);
    for (int p = 24; p <= 30; ++p) {
        ASSERT_EQ(song.pattern_table[p].rows, 64) << p;
        ASSERT_NE(song.pattern_table[p].cells, nullptr) << p;
        for (int i = 0; i < 64 * 2; ++i) {
            const Cell& c = song.pattern_table[p].cells[i];
            ASSERT_EQ(c.note | c.instrument | c.volume | c.effect | c.param, 0);
        }
    }
}

TEST_F(Loader, OrdersBeyondTheSongLengthDoNotCreatePatterns) {
    xm::Module m = module_with_patterns(2, {0, 1, 200});
    m.song_length = 2;
    ASSERT_TRUE(load(m));
    EXPECT_EQ(song.pattern_slot_count, 2);
}

TEST_F(Loader, EmptyStoredPatternKeepsItsRowsAndTheStreamStaysAligned) {
    xm::Module m = module_with_patterns(0, {0, 1});
    m.patterns.push_back(xm::pattern(m, 32));
    m.patterns[0].stored_empty = true;
    m.patterns.push_back(xm::pattern(m, 4));
    xm::cell(m, m.patterns[1], 3, 1) = Cell{49, 1, 0x30, 0x0C, 0x20};
    ASSERT_TRUE(load(m));
    EXPECT_EQ(song.pattern_table[0].rows, 32);
    EXPECT_EQ(song.pattern_table[0].cells, nullptr);
    const Cell& c = song.pattern_table[1].cells[3 * 2 + 1];
    EXPECT_EQ(c.note, 49);
    EXPECT_EQ(c.instrument, 1);
    EXPECT_EQ(c.volume, 0x30);
    EXPECT_EQ(c.effect, 0x0C);
    EXPECT_EQ(c.param, 0x20);
}

TEST_F(Loader, PackedAndWholeCellsDecodeAlikeAndUnknownInstrumentsReadAsNone) {
    for (bool packed : {true, false}) {
        xm::Module m = module_with_patterns(0, {0});
        m.patterns.push_back(xm::pattern(m, 2));
        m.patterns[0].packed = packed;
        xm::cell(m, m.patterns[0], 0, 0) = Cell{12, 1, 0, 0, 0};
        xm::cell(m, m.patterns[0], 0, 1) = Cell{13, 2, 0x40, 0x0A, 0x0F}; // only one instrument exists
        xm::cell(m, m.patterns[0], 1, 0) = Cell{0, 0, 0, 0x0F, 3};
        xm::cell(m, m.patterns[0], 1, 1) = Cell{97, 0, 0, 0, 0};
        ASSERT_TRUE(load(m)) << packed;
        const Cell* cells = song.pattern_table[0].cells;
        EXPECT_EQ(cells[0].note, 12);
        EXPECT_EQ(cells[0].instrument, 1);
        EXPECT_EQ(cells[1].note, 13);
        EXPECT_EQ(cells[1].instrument, 0) << "instrument 2 of 1";
        EXPECT_EQ(cells[1].volume, 0x40);
        EXPECT_EQ(cells[1].param, 0x0F);
        EXPECT_EQ(cells[2].effect, 0x0F);
        EXPECT_EQ(cells[2].param, 3);
        EXPECT_EQ(cells[3].note, 97);
    }
}

TEST_F(Loader, InstrumentHeaderOf29BytesWithoutSamplesMovesBack) {
    xm::Module m = module_with_patterns(1, {0});
    xm::Instrument bare;
    bare.header_size = 29;
    m.instruments.insert(m.instruments.begin(), bare);
    m.instruments[1].volume.points = {{0, 64}, {10, 0}};
    m.instruments[1].volume.type = ENVELOPE_ON;
    m.instruments[1].fadeout = 0x123;
    ASSERT_TRUE(load(m));
    ASSERT_EQ(song.instrument_count, 2);
    EXPECT_EQ(song.instrument_table[0].samples[0], nullptr);
    EXPECT_EQ(song.instrument_table[0].keymap[0], 0);
    const Instrument& second = song.instrument_table[1];
    ASSERT_NE(second.samples[0], nullptr);
    EXPECT_EQ(second.samples[0]->length, 64);
    EXPECT_EQ(second.volume_points, 2);
    EXPECT_EQ(second.volume_envelope[1].tick, 10);
    EXPECT_EQ(second.fadeout, 0x246) << "doubled";
}

TEST_F(Loader, EnvelopesAreBoundedToTheirPoints) {
    xm::Module m = module_with_patterns(1, {0});
    xm::Instrument& in = m.instruments[0];
    in.volume.points = {{0, 64}, {4, 300}, {8, 0}};
    in.volume.type = ENVELOPE_ON | ENVELOPE_SUSTAIN | ENVELOPE_LOOP;
    in.volume.sustain = 7;    // beyond the last point
    in.volume.loop_start = 0; // loop end beyond the last point
    in.volume.loop_end = 3;
    in.panning.points = {{0, 32}};
    in.panning.type = ENVELOPE_ON; // one point holds its value
    ASSERT_TRUE(load(m));
    const Instrument& loaded = song.instrument_table[0];
    EXPECT_EQ(loaded.volume_envelope[1].value, 64);
    EXPECT_EQ(loaded.volume_type, ENVELOPE_ON);
    EXPECT_EQ(loaded.panning_type, ENVELOPE_ON);
}

TEST_F(Loader, PointCountsAbove12AreCut) {
    xm::Module m = module_with_patterns(1, {0});
    ASSERT_TRUE(load(m));
    std::vector<uint8_t> bytes = data;
    // The instrument's volume point count sits 225 bytes into its header (33 + 192).
    size_t instrument_at = 336 + 9 + data[336 + 7] + (data[336 + 8] << 8);
    bytes[instrument_at + 225] = 200;
    bytes[instrument_at + 233] = ENVELOPE_ON;
    ASSERT_TRUE(load_bytes(bytes));
    EXPECT_EQ(song.instrument_table[0].volume_points, ENVELOPE_POINTS);
}

TEST_F(Loader, FailsOnModulesOutsideTheLimits) {
    auto expect_failure = [&](xm::Module m, const char* what) { EXPECT_FALSE(load(m)) << what; };
    xm::Module base = module_with_patterns(1, {0});
    ASSERT_TRUE(load(base));

    xm::Module m = base;
    m.channels = 65;
    expect_failure(m, "65 channels");
    m.channels = 0;
    expect_failure(m, "0 channels");
    m.channels = 256 + 2; // only the low byte counts
    EXPECT_TRUE(load(m));
    EXPECT_EQ(song.channel_count, 2);

    m = base;
    m.pattern_count = 0;
    expect_failure(m, "no patterns");
    m = base;
    m.song_length = 0;
    expect_failure(m, "no orders");
    m.song_length = 257;
    expect_failure(m, "257 orders");

    m = base;
    m.patterns[0] = xm::pattern(m, 257);
    expect_failure(m, "257 rows");

    m = base;
    for (int i = 0; i < 17; ++i)
        m.instruments[0].samples.push_back(xm::square_sample(4, 100));
    expect_failure(m, "17 samples");

    m = base;
    m.instruments[0].sample_header_size = 41;
    expect_failure(m, "sample header of 41 bytes");
}

// A pattern stored empty names its rows like any other: 0 reads as 64, more than 256 fails (its
// rows would index the played-rows bitmap of the play-once ending past its end).
TEST_F(Loader, StoredEmptyPatternRowsAreBounded) {
    const std::pair<int, int> cases[] = {
        {0, 64}, {64, 64}, {300, 0}, {65535, 0}}; // stored, played (0: fails)
    for (const auto& [stored, played] : cases) {
        xm::Module m = module_with_patterns(0, {0});
        m.patterns.push_back(xm::pattern(m, stored));
        m.patterns[0].stored_empty = true;
        ASSERT_EQ(load(m), played != 0) << stored;
        if (!played) continue;
        sequencer_end_on_return(1);
        int rows = 0;
        for (int tick = 0; !song.ended && tick < 100000; ++tick) {
            rows += song.tick == 0;
            sequencer_tick();
        }
        EXPECT_EQ(rows - 1, played) << stored << ": the row that finds the end is counted too";
    }
}

TEST_F(Loader, ZeroRowPatternWithDataFails) {
    xm::Module m = module_with_patterns(1, {0});
    ASSERT_TRUE(load(m));
    std::vector<uint8_t> bytes = data;
    bytes[336 + 5] = 0; // rows of pattern 0, its packed size left as is
    bytes[336 + 6] = 0;
    EXPECT_FALSE(load_bytes(bytes));
}

TEST_F(Loader, ShortOrEmptyInputFailsEvenAfterAGoodSong) {
    ASSERT_TRUE(load(module_with_patterns(1, {0})));
    std::vector<uint8_t> good = data;
    EXPECT_FALSE(load_bytes({}));
    EXPECT_FALSE(load_bytes(std::vector<uint8_t>(good.begin(), good.begin() + 70)))
        << "the pattern count lies beyond the bytes given";
}

TEST_F(Loader, TruncatedModulesLoadWithSilentParts) {
    xm::Module m = module_with_patterns(1, {0});
    ASSERT_TRUE(load(m));
    std::vector<uint8_t> full = data;
    for (size_t cut = 336; cut < full.size(); cut += 7) {
        ASSERT_TRUE(load_bytes(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(cut))))
            << cut;
    }
}

TEST_F(Loader, AReloadStartsFromABlankSong) {
    xm::Module m = module_with_patterns(1, {0});
    ASSERT_TRUE(load(m));
    song.loop = true;
    song.ended = true;
    song.order = 5;
    song.pattern_delay = 9;
    ASSERT_TRUE(load(m));
    EXPECT_FALSE(song.loop);
    EXPECT_FALSE(song.ended);
    EXPECT_EQ(song.order, 0);
    EXPECT_EQ(song.pattern_delay, 0);
}

TEST(Arena, AllocationsAreZeroedAlignedAndBounded) {
    ASSERT_TRUE(arena_create());
    for (int i = 1; i < 2000; i += 37) {
        auto* p = static_cast<uint8_t*>(arena_alloc(static_cast<size_t>(i)));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t), 0u);
        for (int b = 0; b < i; ++b)
            ASSERT_EQ(p[b], 0);
        std::fill(p, p + i, uint8_t{0xEE});
    }
    auto* big = static_cast<uint8_t*>(arena_alloc(3 << 20));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big[(3 << 20) - 1], 0);
    EXPECT_EQ(arena_alloc(ARENA_LIMIT), nullptr);
    EXPECT_NE(arena_alloc(16), nullptr) << "a refused request leaves the arena usable";
    arena_destroy();
    EXPECT_EQ(arena_alloc(16), nullptr) << "no arena, no memory";
    arena_destroy();
}

} // namespace
