// Keys, chords and voice leading. Pitch classes count semitones from C (0..11); notes are 0-based
// note numbers (C-0 is 0).
#pragma once
#include <array>
#include <string_view>
#include <vector>

enum class Quality { MAJOR, MINOR, DOMINANT_SEVENTH };

struct Chord {
    int root; // pitch class
    Quality quality;
};

// Pitch class of a note letter 'A'..'G'.
int letter_pitch_class(char letter);

// "G", "Em", "F#m", "E7", "Bb": a root, then m (minor) or 7 (dominant seventh).
Chord parse_chord(std::string_view symbol);

// The three pitch classes a three-voice part plays: root, third, and fifth (seventh chords give
// up their fifth for the seventh).
std::array<int, 3> chord_tones(Chord chord);

// Major keys, by tonic pitch class.
struct Key {
    int tonic;
};

// Moves a note by `steps` degrees of the key's scale; a note outside the scale moves as the
// degree below it does.
int diatonic_shift(int note, Key key, int steps);

// Three notes, low to high.
using Voicing = std::array<int, 3>;

// The voicing of `chord` within [low, high] whose voices move least from `previous` (the total
// of their moves, then the largest single move, then the lower voicing).
Voicing voice_lead(const Voicing& previous, Chord chord, int low, int high);

// The lowest note of `pitch_class` at or above `floor`.
int note_at_or_above(int pitch_class, int floor);
