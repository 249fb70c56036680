// Melodic lines in a small text notation, a bar to a string of eight swung eighths:
//   "D5"     a note (instrument and volume from the voice)
//   "~G5"    glide into G5 from the sounding note, without a new attack
//   "-"      hold            "."   release (key-off) the sounding note
//   "D5/E5"  two sixteenths in one eighth; either half may also be "-" or "."
// A malformed bar stops the composer with a message naming it.
#pragma once
#include "harmony.h"
#include "score.h"

#include <span>
#include <string_view>

struct LineVoice {
    uint8_t instrument;
    int volume = -1;   // channel volume at every attack, -1: the sample's own
    int transpose = 0; // semitones
    int steps = 0;     // degrees of `key` to move every note by (-2: a third below)
    Key key{};
    int delay_rows = 0; // for an echo
    uint8_t glide_speed = 0x18;
};

void write_line(Score& score, int channel, int first_bar, std::span<const std::string_view> bars,
                const LineVoice& voice);
