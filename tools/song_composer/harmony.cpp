#include "harmony.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <tuple>

namespace {
constexpr int OCTAVE = 12;
constexpr int MAJOR_SCALE[] = {0, 2, 4, 5, 7, 9, 11};
constexpr int SCALE_DEGREES = 7;

int pitch_class(int note) {
    return (note % OCTAVE + OCTAVE) % OCTAVE;
}
} // namespace

int letter_pitch_class(char letter) {
    constexpr int CLASSES[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    return CLASSES[letter - 'A'];
}

Chord parse_chord(std::string_view symbol) {
    int root = letter_pitch_class(symbol[0]);
    size_t i = 1;
    if (i < symbol.size() && (symbol[i] == '#' || symbol[i] == 'b')) root += symbol[i++] == '#' ? 1 : -1;
    Quality quality = Quality::MAJOR;
    if (i < symbol.size()) quality = symbol[i] == 'm' ? Quality::MINOR : Quality::DOMINANT_SEVENTH;
    return {pitch_class(root), quality};
}

std::array<int, 3> chord_tones(Chord chord) {
    const int third = chord.quality == Quality::MINOR ? 3 : 4;
    const int top = chord.quality == Quality::DOMINANT_SEVENTH ? 10 : 7;
    return {chord.root, pitch_class(chord.root + third), pitch_class(chord.root + top)};
}

int diatonic_shift(int note, Key key, int steps) {
    const int from_tonic = note - key.tonic;
    const int octave = (from_tonic - pitch_class(from_tonic)) / OCTAVE;
    int degree = 0;
    while (degree + 1 < SCALE_DEGREES && MAJOR_SCALE[degree + 1] <= pitch_class(from_tonic))
        ++degree;
    const int chromatic = pitch_class(from_tonic) - MAJOR_SCALE[degree];
    const int target = degree + steps;
    const int target_octave =
        octave + (target - (target % SCALE_DEGREES + SCALE_DEGREES) % SCALE_DEGREES) / SCALE_DEGREES;
    const int target_degree = (target % SCALE_DEGREES + SCALE_DEGREES) % SCALE_DEGREES;
    return key.tonic + target_octave * OCTAVE + MAJOR_SCALE[target_degree] + chromatic;
}

int note_at_or_above(int pitch_class_wanted, int floor) {
    int note = floor;
    while (pitch_class(note) != pitch_class_wanted)
        ++note;
    return note;
}

Voicing voice_lead(const Voicing& previous, Chord chord, int low, int high) {
    const std::array<int, 3> tones = chord_tones(chord);
    Voicing best{};
    auto best_cost = std::make_tuple(std::numeric_limits<int>::max(), 0, 0);
    // Every way to put the three tones, one each, into the range; kept in low-to-high order.
    for (int a = low; a <= high; ++a)
        for (int b = a + 1; b <= high; ++b)
            for (int c = b + 1; c <= high; ++c) {
                std::array<int, 3> classes = {pitch_class(a), pitch_class(b), pitch_class(c)};
                std::array<int, 3> wanted = tones;
                std::ranges::sort(classes);
                std::ranges::sort(wanted);
                if (classes != wanted) continue;
                const Voicing v = {a, b, c};
                int total = 0, largest = 0;
                for (size_t i = 0; i < v.size(); ++i) {
                    const int move = std::abs(v[i] - previous[i]);
                    total += move;
                    largest = std::max(largest, move);
                }
                const auto cost = std::make_tuple(total, largest, a + b + c);
                if (cost < best_cost) {
                    best_cost = cost;
                    best = v;
                }
            }
    return best;
}
