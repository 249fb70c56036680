// The effects' tone synthesiser: sine tones written one after another into the synthesis
// buffer, and the melody texts that describe them ("A52 ": groups of note letter, octave digit,
// duration digit, separator). Every tone is a sine at full amplitude with no envelope.
// Limits: tones never write past the synthesis buffer's end; what does not fit is dropped.
// Threads: main thread only, before any submission of the synthesis buffer.
#pragma once
#include <cstdint>

constexpr int32_t SFX_SYNTHESIS_BYTES = 64 * 1024 * 1024;
constexpr int32_t SFX_SYNTHESIS_SAMPLES = SFX_SYNTHESIS_BYTES / 2;
constexpr int32_t MELODY_TONE_SAMPLES = 40'000; // every group plays this long, whatever its duration
constexpr int MELODY_AMPLITUDE = 8000;
constexpr const char* DEFAULT_MELODY = "A52 ";

// A parsed melody text: one allocation holding the record, then the notes, then the durations,
// each array with room for (text length / 4) entries.
struct Melody {
    int amplitude;
    int8_t* notes;     // per group: letter index + 12 x (octave digit - 4), as a signed byte
    int8_t* durations; // per group: 8, 4, 2, 1 for '1', '2', '4', '8'; printed only
    int count;
};

// Adds a sine of frequency f (as heard with the samples read one after another) over count
// samples at the write position, and moves the write position on. Nothing without a buffer.
void sfx_tone(float frequency, int count, int amplitude);

// Tone for a note: 440 Hz x (octave + 1), lowered by the semitone ratio per semitone.
void sfx_note(int octave, int semitone, int count, int amplitude);

// Null when the allocation fails. A tail shorter than four characters is not read.
Melody* melody_parse(const char* text);
void melody_free(Melody* melody);

// Prints "playing N tones" and one "note duration" line per group on standard output, renders
// each group as one tone and returns the bytes written.
int32_t melody_render(const Melody* melody);
