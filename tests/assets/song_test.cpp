// The song the game carries, loaded and rendered by the game's own player: the figures it was
// written for, only the commands it is written with, and at the game's music level a mix that never
// clips and stays quieter than every stored sound effect.
#include "assets/embedded.h"
#include "assets/embedded_arrays.h"
#include "audio/music/mixer.h"
#include "audio/music/module_loader.h"
#include "audio/music/sequencer.h"
#include "effect_measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <span>

namespace {

constexpr int GAME_MUSIC_LEVEL = 25;
constexpr int ROWS = 1152;
constexpr int FRAMES_PER_ROW = 1920; // speed 4 at 250 BPM: 40 ms

class TheSong : public ::testing::Test {
  protected:
    void SetUp() override {
        const EmbeddedAsset* asset = embedded_asset_find("song.xm");
        ASSERT_NE(asset, nullptr);
        ASSERT_TRUE(music_load(asset->data, asset->size, MUSIC_FROM_MEMORY));
    }
    void TearDown() override { music_unload(); }
};

TEST_F(TheSong, HasTheFiguresTheGameWasMadeFor) {
    struct Figure {
        const char* name;
        int value, expected;
    };
    const Figure figures[] = {
        {"channels", song.channel_count, 16},
        {"orders", song.song_length, 18},
        {"restart order", song.restart_order, 0},
        {"patterns", song.pattern_slot_count, 24},
        {"instruments", song.instrument_count, 13},
        {"speed", song.speed, 4},
        {"frames per tick (250 BPM)", song.frames_per_tick, 480},
        {"linear frequencies", song.module_flags & MODULE_LINEAR_FREQUENCIES, 1},
    };
    for (const Figure& f : figures)
        EXPECT_EQ(f.value, f.expected) << f.name;
    for (int p = 0; p < song.pattern_slot_count; ++p)
        EXPECT_EQ(song.pattern_table[p].rows, 64) << "pattern " << p;
    for (int i = 0; i < song.instrument_count; ++i) {
        const Instrument& in = song.instrument_table[i];
        EXPECT_TRUE(in.samples[0] && in.samples[0]->length > 0 && !in.samples[1]) << "instrument " << i + 1;
    }
    // Every row is played once, at 40 ms: no jumps, no tempo changes.
    int64_t frames = 0;
    for (sequencer_tick(); !song.ended; sequencer_tick())
        frames += song.frames_left_in_tick;
    EXPECT_EQ(frames, int64_t{ROWS} * FRAMES_PER_ROW);
}

// Arpeggio, portamento down, tone portamento, volume slide, set volume and note cut; nothing in the
// volume column.
bool allowed(const Cell& c) {
    switch (c.effect) {
    case 0x0:
    case 0x2:
    case 0x3:
    case 0xA:
    case 0xC:
        return true;
    case 0xE:
        return c.param >> 4 == 0xC;
    default:
        return false;
    }
}

TEST_F(TheSong, UsesOnlyItsSixCommands) {
    int faults = 0;
    for (int p = 0; p < song.pattern_slot_count; ++p) {
        const PatternSlot& slot = song.pattern_table[p];
        if (!slot.cells) continue;
        for (int i = 0; i < slot.rows * song.channel_count && faults < 10; ++i) {
            const Cell& c = slot.cells[i];
            if (allowed(c) && c.volume == 0) continue;
            ++faults;
            ADD_FAILURE() << "pattern " << p << " row " << i / song.channel_count << " channel "
                          << i % song.channel_count << ": effect " << int{c.effect} << " param "
                          << int{c.param} << " volume byte " << int{c.volume};
        }
    }
}

double rms_db(double power, size_t samples) {
    return 10 * std::log10(power / static_cast<double>(samples) / (32768.0 * 32768.0));
}

TEST_F(TheSong, NeverClipsAndSitsUnderTheEffects) {
    music_set_volume(GAME_MUSIC_LEVEL);
    int peak = 0;
    double power = 0;
    size_t samples = 0;
    while (!mixer_song_done()) {
        mix_chunk();
        for (int16_t v : last_chunk()) {
            peak = std::max(peak, std::abs(int{v}));
            power += static_cast<double>(v) * v;
        }
        samples += last_chunk().size();
    }
    EXPECT_LT(peak, MAX_OUTPUT);
    const double music_db = rms_db(power, samples);
    const std::span<const uint8_t> effects[] = {asset_tic_raw, asset_bounce_raw, asset_death_raw,
                                                asset_winner_raw};
    for (std::span<const uint8_t> raw : effects) {
        const Channels c = split_channels(raw);
        double effect_power = 0;
        for (const auto* channel : {&c.left, &c.right})
            for (double v : *channel)
                effect_power += v * v;
        EXPECT_LT(music_db, rms_db(effect_power, c.left.size() + c.right.size()));
    }
}

} // namespace
