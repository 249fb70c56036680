// The song's thirteen instruments, each one synthesised sample with its envelope. Tonal instruments
// are tuned so that every note sounds at its equal-tempered pitch; drums sound at their recorded
// pitch on DRUM_NOTE.
#pragma once
#include "synth.h"

#include <vector>

// Instrument numbers as the pattern cells name them.
enum InstrumentNumber : uint8_t {
    LEAD = 1, // bright pulse with a touch of chorus: the tune
    FLUTE,    // soft, breathy: echoes, counter-melodies, the bridge tune
    BASS,     // plucked saw whose brightness closes on every note
    PAD,      // three detuned saws, dark, slow to swell
    PLUCK,    // harp-like pluck for broken chords
    BELL,     // struck bar: intro hook, sparkle
    STAB,     // brassy chord stab, played as a fast arpeggio
    KICK,
    SNARE,
    CLOSED_HAT,
    OPEN_HAT,
    TOM, // one tom, tuned by the note it is played at
    CRASH,
    INSTRUMENT_END
};
constexpr int INSTRUMENT_COUNT = INSTRUMENT_END - 1;

constexpr int DRUM_NOTE = NOTE_C4;

// In instrument-number order, LEAD first.
std::vector<xm::Instrument> song_instruments();

// The parts of the list, one per file.
xm::Instrument lead();
xm::Instrument flute();
xm::Instrument bass();
xm::Instrument pad();
xm::Instrument pluck();
xm::Instrument bell();
xm::Instrument stab();
xm::Instrument kick();
xm::Instrument snare();
xm::Instrument closed_hat();
xm::Instrument open_hat();
xm::Instrument tom();
xm::Instrument crash();
