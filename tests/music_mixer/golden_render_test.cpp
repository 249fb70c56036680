// The exact bytes of songs that between them take every path of the voice renderer: 8-bit and
// 16-bit samples, no loop, forward and ping-pong loops down to one point, slow and very fast
// steps, backward play, volume ramps, hard panning, a full house of voices, clipping and the
// master volume. Work on the mixer's speed must leave every hash as it is, with every kernel set.
//
// After a change that is meant to change the sound, take the new table from
//   build/dev/tests/music_mixer/music_mixer_tests --gtest_filter='GoldenRender.*'
// which prints all of it whenever one hash differs, and paste it below.
#include "demo_song.h"
#include "render_song.h"
#include "tools/xm_writer/xm_writer.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>

namespace {
constexpr int MAX_CHUNKS = 4000; // about 85 s, far beyond every song here

// Fixed pseudo-random choices: the same song on every run.
struct Dice {
    uint32_t state;
    int roll(int sides) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % static_cast<uint32_t>(sides));
    }
};

xm::Sample tiny_loop(uint8_t loop_type, uint32_t loop_start, uint32_t loop_length) {
    xm::Sample s;
    s.bits16 = true;
    for (int i = 0; i < 8; ++i)
        s.points.push_back(static_cast<int16_t>(i * 7000 - 24000));
    s.loop_type = loop_type;
    s.loop_start = loop_start;
    s.loop_length = loop_length;
    return s;
}

xm::Instrument plain(const xm::Sample& sample, int8_t relative_note = 0) {
    xm::Instrument in;
    in.samples.push_back(sample);
    in.samples.back().relative_note = relative_note;
    in.samples.back().volume = 24; // a dozen channels together mostly stay below full scale
    return in;
}

// Every loop kind and size, over the whole range of steps, at moderate volumes.
std::vector<xm::Instrument> instrument_set() {
    std::vector<xm::Instrument> set;
    set.push_back(demo::instrument(demo::sine(64, 16000), 300));   // 16-bit forward loop
    set.push_back(demo::instrument(demo::noise_hit(1500), 900));   // 8-bit, no loop
    set.push_back(demo::instrument(demo::pad(2000), 150));         // 8-bit ping-pong
    set.push_back(plain(xm::square_sample(2, 12000, false), -24)); // 8-bit, two points, slow
    set.push_back(plain(tiny_loop(1, 7, 1), 0));                   // forward loop of one point
    set.push_back(plain(tiny_loop(2, 5, 1), 12));                  // ping-pong of one point
    set.push_back(plain(tiny_loop(2, 2, 3), 36));                  // far faster than its loop
    return set;
}

void roll_effect(Dice& dice, Cell& cell) {
    struct Choice {
        uint8_t effect, param;
    };
    static constexpr Choice choices[] = {
        {0x0, 0x47}, {0x1, 0x20}, {0x2, 0x10}, {0x4, 0x48}, {0x8, 0x00}, {0x8, 0xFF}, {0x8, 0x40},
        {0x9, 0x01}, {0x9, 0x08}, {0xA, 0x0F}, {0xA, 0xF0}, {0xA, 0x04}, {0xC, 0x00}, {0xC, 0x40},
        {0xC, 0x18}, {0xE, 0x92}, {0xE, 0xC2}, {0xF, 0x21}, {0xF, 0x9B}, {0xF, 0xFF}, {0x3, 0x30},
    };
    const int pick = dice.roll(3 * static_cast<int>(std::size(choices)));
    if (pick >= static_cast<int>(std::size(choices))) return; // most cells: no effect
    cell.effect = choices[pick].effect;
    cell.param = choices[pick].param;
}

// Notes, instruments, volumes and effects thrown at random over every channel.
xm::Module random_song(uint32_t seed, int channels, int rows, uint16_t flags) {
    Dice dice{seed};
    xm::Module m;
    m.channels = channels;
    m.flags = flags;
    m.speed = 3;
    m.bpm = 125;
    m.instruments = instrument_set();
    for (int p = 0; p < 2; ++p) {
        xm::Pattern pattern = xm::pattern(m, rows);
        for (int row = 0; row < rows; ++row)
            for (int c = 0; c < channels; ++c) {
                Cell& cell = xm::cell(m, pattern, row, c);
                if (dice.roll(3) == 0) {
                    cell.note = static_cast<uint8_t>(dice.roll(9) == 0 ? NOTE_KEY_OFF : 1 + dice.roll(96));
                    cell.instrument =
                        static_cast<uint8_t>(1 + dice.roll(static_cast<int>(m.instruments.size())));
                }
                if (dice.roll(4) == 0) cell.volume = static_cast<uint8_t>(0x10 + dice.roll(65));
                roll_effect(dice, cell);
            }
        m.patterns.push_back(pattern);
    }
    m.orders = {0, 1};
    return m;
}

// Every channel on a full-scale square at once, first loud enough to clip, then ever quieter;
// the fading pairs fill every voice slot.
xm::Module full_house() {
    xm::Module m;
    m.channels = MAX_CHANNELS;
    m.speed = 3;
    m.instruments.push_back(plain(xm::square_sample(48, 32767)));
    xm::Pattern pattern = xm::pattern(m, 16);
    static constexpr uint8_t volumes[] = {64, 8, 3, 1};
    for (int row = 0; row < 16; row += 4)
        for (int c = 0; c < m.channels; ++c) {
            Cell& cell = xm::cell(m, pattern, row, c);
            cell.note = static_cast<uint8_t>(37 + row + c % 5);
            cell.instrument = 1;
            cell.volume = static_cast<uint8_t>(0x10 + volumes[row / 4]);
            cell.effect = 0x8;
            cell.param = static_cast<uint8_t>(c * 4);
        }
    m.patterns.push_back(pattern);
    return m;
}

uint64_t fnv1a(const std::vector<int16_t>& samples) {
    uint64_t hash = 14695981039346656037u;
    for (int16_t s : samples)
        for (int byte = 0; byte < 2; ++byte) {
            hash ^= static_cast<uint16_t>(s) >> (8 * byte) & 0xFF;
            hash *= 1099511628211u;
        }
    return hash;
}

struct Golden {
    const char* name;
    int volume_level;
    uint64_t hash;
};

std::vector<uint8_t> golden_song(const std::string& name) {
    if (name == "demo song") return demo::file();
    if (name == "random, linear") return xm::write(random_song(1, 12, 48, MODULE_LINEAR_FREQUENCIES));
    if (name == "random, period table") return xm::write(random_song(2, 8, 48, 0));
    return xm::write(full_house());
}

constexpr Golden GOLDEN[] = {
    {"demo song", 25, 0x94e0fb6d55854ffd},
    {"random, linear", 25, 0x101951917dbd3a7a},
    {"random, period table", 21, 0x736ddfad9150bd7c},
    {"full house", 19, 0xe4a33bfcb991d23f},
};
} // namespace

// Every kernel set this processor can run renders every song to the same bytes.
TEST(GoldenRender, EverySongRendersToItsRecordedBytes) {
    mixer.paused.store(false);
    const MixKernels& chosen = mixer_kernels();
    for (const MixKernels* kernels : mix_kernels_usable()) {
        mixer_use_kernels(*kernels);
        std::string table;
        bool all_equal = true;
        for (const Golden& golden : GOLDEN) {
            music_set_volume(golden.volume_level);
            const Rendered r = render(golden_song(golden.name), MAX_CHUNKS);
            ASSERT_FALSE(r.samples.empty()) << golden.name;
            ASSERT_LT(r.samples.size(), size_t{MAX_CHUNKS} * CHUNK_FRAMES * 2)
                << golden.name << " never ends";
            const uint64_t hash = fnv1a(r.samples);
            all_equal = all_equal && hash == golden.hash;
            char line[128];
            std::snprintf(line, sizeof line, "    {\"%s\", %d, 0x%016" PRIx64 "},\n", golden.name,
                          golden.volume_level, hash);
            table += line;
        }
        EXPECT_TRUE(all_equal) << "the bytes of the " << kernels->name
                               << " kernels changed; their table is:\n"
                               << table;
    }
    mixer_use_kernels(chosen);
    music_set_volume(MUSIC_VOLUME_LEVELS - 1);
}
