// The tone synthesiser and melody texts.
#include "sfx_fixture.h"

#include "audio/sfx_synth.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {
struct MelodyFree {
    void operator()(Melody* m) const { melody_free(m); }
};
using MelodyPtr = std::unique_ptr<Melody, MelodyFree>;

MelodyPtr parse(const char* text) {
    MelodyPtr m(melody_parse(text));
    EXPECT_NE(m, nullptr);
    return m;
}

std::vector<int> notes(const Melody& m) {
    return {m.notes, m.notes + m.count};
}
std::vector<int> durations(const Melody& m) {
    return {m.durations, m.durations + m.count};
}
} // namespace

TEST_F(Sfx, MelodyTextsAreReadInGroupsOfFour) {
    EXPECT_EQ(parse("A52 B")->count, 1) << "a short tail is not read";
    EXPECT_EQ(parse("A52")->count, 0);
    EXPECT_EQ(parse("")->count, 0);
    EXPECT_EQ(parse(nullptr)->count, 0);

    // Letters count semitones from A; '4' is octave 0; durations 1/2/4/8 give codes 8/4/2/1.
    MelodyPtr m = parse("A52 C41 B48 A64 ");
    EXPECT_EQ(notes(*m), (std::vector<int>{12, 2, 1, 24}));
    EXPECT_EQ(durations(*m), (std::vector<int>{4, 8, 1, 2}));
    EXPECT_EQ(m->amplitude, 8000);
}

TEST_F(Sfx, MelodyKeepsPreviousValuesAndFoldsNotesIntoASignedByte) {
    // Lower case keeps the previous letter; an unknown duration keeps the previous code.
    MelodyPtr m = parse("C52 c4x G5? g68 ");
    EXPECT_EQ(notes(*m), (std::vector<int>{14, 2, 18, 30}));
    EXPECT_EQ(durations(*m), (std::vector<int>{4, 4, 4, 1}));

    // The first group has nothing to keep: letter A, duration code 0.
    MelodyPtr first = parse("a5? ");
    EXPECT_EQ(notes(*first), std::vector<int>{12});
    EXPECT_EQ(durations(*first), std::vector<int>{0});

    // Octave '0' is 12 x -4 = -48; '~' (126) folds past 127 into a negative byte; bytes above
    // 0x7f are letters to keep, never negative indices.
    MelodyPtr wrap = parse("A0  A~  \xe9"
                           "5  ");
    EXPECT_EQ(notes(*wrap), (std::vector<int>{-48, static_cast<int8_t>((12 * 126 + 400) & 0xff), 12}));
}

TEST_F(Sfx, DefaultToneIsA880HzSineOfPeak8000Over40000Samples) {
    start();
    const int16_t* s = sfx_module.synthesis;
    const double period = static_cast<float>(44'100 / (0.5 * 880.0f)); // 100.22727 samples per half
    EXPECT_EQ(s[0], 0);
    for (int i : {1, 25, 50, 75, 150, 39'999})
        EXPECT_EQ(s[i], static_cast<int16_t>(std::sin(i / period * M_PI) * 8000)) << i;
    EXPECT_EQ(s[40'000], 0) << "nothing past the tone";

    const int peak = *std::max_element(s, s + 40'000);
    EXPECT_GE(peak, 7990);
    EXPECT_LE(peak, 8000);
    EXPECT_EQ(*std::min_element(s, s + 40'000), -peak);

    // Upward zero crossings, first to last, give the period in samples.
    std::vector<int> ups;
    for (int i = 1; i < 40'000; ++i)
        if (s[i - 1] < 0 && s[i] >= 0) ups.push_back(i);
    ASSERT_GT(ups.size(), 100u);
    EXPECT_NEAR(double(ups.back() - ups.front()) / double(ups.size() - 1), 200.45, 0.05);
}

TEST_F(Sfx, NotesOctavesAddAndSemitonesLower) {
    start();
    const auto tone_period = [](int octave, int semitone) {
        sfx_module.write_position = 100'000;
        sfx_note(octave, semitone, 4000, 8000);
        const int16_t* s = sfx_module.synthesis + 100'000;
        int first = -1, last = -1, n = 0;
        for (int i = 1; i < 4000; ++i)
            if (s[i - 1] < 0 && s[i] >= 0) {
                if (first < 0) first = i;
                last = i;
                ++n;
            }
        std::fill(sfx_module.synthesis + 100'000, sfx_module.synthesis + 104'000, int16_t{0});
        return n > 1 ? double(last - first) / (n - 1) : 0.0;
    };
    // P = 88,200 / f samples per half period, so a whole period is 176,400 / f samples.
    EXPECT_NEAR(tone_period(0, 0), 176'400 / 440.0, 0.2);
    EXPECT_NEAR(tone_period(2, 0), 176'400 / 1320.0, 0.2) << "octave 2 is 3 x 440";
    EXPECT_NEAR(tone_period(0, 3), 176'400 / (440 / std::pow(0.943879, 3)), 0.2);
    EXPECT_NEAR(tone_period(0, -5), 176'400 / (440 / 0.943879), 0.2) << "negative semitones lower by one";
    EXPECT_NEAR(tone_period(0, 1), 176'400 / (440 / 0.943879), 0.2);
}

TEST_F(Sfx, TonesStayInsideTheBufferAndNeverWrapAround) {
    start();
    SfxModule& m = sfx_module;
    // A tone that would pass the end is cut there, and the melody reports only what it wrote.
    m.write_position = SFX_SYNTHESIS_SAMPLES - 10'000;
    MelodyPtr two = parse("A52 A52 ");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(melody_render(two.get()), 20'000);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "playing 2 tones\n12 4\n12 4\n");
    EXPECT_EQ(m.write_position, SFX_SYNTHESIS_SAMPLES);
    sfx_tone(880, 5, 8000);
    EXPECT_EQ(m.write_position, SFX_SYNTHESIS_SAMPLES);

    // Adding onto loud samples holds at full scale instead of wrapping to the other sign.
    m.write_position = 200'000;
    std::fill(m.synthesis + 200'000, m.synthesis + 200'200, int16_t{30'000});
    sfx_tone(880, 200, 8000);
    EXPECT_EQ(m.synthesis[200'050], 32'767);
    EXPECT_GT(*std::min_element(m.synthesis + 200'000, m.synthesis + 200'200), 0);

    // Zero, negative and huge counts and frequencies neither crash nor write garbage.
    m.write_position = 300'000;
    sfx_tone(0.0f, 10, 8000);
    sfx_tone(-880.0f, 10, 8000);
    sfx_tone(INFINITY, 10, 8000);
    sfx_tone(NAN, 10, 8000);
    sfx_tone(880.0f, -5, 8000);
    EXPECT_EQ(m.write_position, 300'040);
    EXPECT_EQ(*std::max_element(m.synthesis + 300'000, m.synthesis + 300'010), 0) << "0 Hz is silence";
}
