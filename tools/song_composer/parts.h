// The accompaniment, made from the chord chart: bass lines, a voice-led pad, broken chords on the
// pluck and chord stabs. Each part writes bars [first_bar, first_bar + bars) of its channels.
#pragma once
#include "harmony.h"
#include "score.h"

#include <initializer_list>
#include <string_view>
#include <vector>

// One chord per half bar; a bar written with one chord holds it for both halves.
struct ChordChart {
    std::vector<Chord> halves;
    Chord at(int bar, int half) const { return halves[static_cast<size_t>(bar * 2 + half)]; }
};

// A bar per string: "G" or "C D".
ChordChart parse_chart(std::initializer_list<std::string_view> bars);

enum class BassFigure {
    BOUNCE, // root and octave on the eighths, leaning into the next root on the last eighth
    BOOGIE, // up and down the chord and its sixth on the eighths
    LONG,   // root for three beats, then its fifth
    PEDAL,  // root on every eighth, driving
};

void bass_part(Score& score, const ChordChart& chart, int first_bar, int bars, BassFigure figure, int volume);

// The pad's three voices, voice-led from the last chord; a new chord glides the voices that move, so
// the pad never restarts while it sounds. A part at a new volume sets it just after its first chord.
// With a swell the voices start quiet and rise over the first bar.
struct PadState {
    Voicing voicing;
    bool sounding;
    int volume;
};
void pad_part(Score& score, const ChordChart& chart, int first_bar, int bars, PadState& pad, int volume,
              bool swell);
void pad_release(Score& score, int row, PadState& pad);

// Broken chords on the pluck: `figure` lists, per eighth, which note of the pad voicing (0..2, and
// 3..5 the same an octave up) to play; `octave` moves the whole figure.
void pluck_part(Score& score, const ChordChart& chart, int first_bar, int bars, const PadState& pad,
                const char* figure, int octave, int volume);

// Chord stabs on the off-beats of beats two and four: the chord as a fast arpeggio, cut short.
void stab_part(Score& score, const ChordChart& chart, int first_bar, int bars);
