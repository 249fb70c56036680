// The score as the composer writes it: one grid of cells for the whole song (rows of 40 ms, one
// column per channel), with the song's time grid and the helpers that place notes and commands.
// A bar is 32 rows, four beats of 8 rows; the off-beat eighth falls 5 rows after the beat (a 5:3
// shuffle). Rows past the end of the song are dropped, so echoes may run off the end.
#pragma once
#include "audio/music/song.h"
#include "instruments.h"

#include <array>
#include <string_view>
#include <vector>

constexpr int SONG_CHANNELS = 16;
constexpr int ROWS_PER_PATTERN = 64;
constexpr int ROWS_PER_BEAT = 8;
constexpr int BEATS_PER_BAR = 4;
constexpr int ROWS_PER_BAR = ROWS_PER_BEAT * BEATS_PER_BAR;
constexpr int BARS_PER_PATTERN = ROWS_PER_PATTERN / ROWS_PER_BAR;
constexpr int SONG_ORDERS = 18;
constexpr int SONG_BARS = SONG_ORDERS * BARS_PER_PATTERN;
constexpr int SONG_ROWS = SONG_BARS * ROWS_PER_BAR;
constexpr int SWING_ROWS = 5; // where the off-beat eighth lands in its beat
constexpr int EIGHTHS_PER_BAR = 8;
constexpr int TRIPLETS_PER_BAR = 12; // the drum grid: three a beat, at rows 0, 3 and 5
constexpr int SONG_SPEED = 4, SONG_BPM = 250;

// The commands the song uses.
enum Command : uint8_t {
    ARPEGGIO = 0x0,
    PORTA_DOWN = 0x2,
    TONE_PORTA = 0x3,
    VOLUME_SLIDE = 0xA,
    SET_VOLUME = 0xC,
    EXTENDED = 0xE,
};
constexpr uint8_t NOTE_CUT = 0xC0; // EXTENDED parameter: cut at tick x (low nibble)

// Who plays what: one channel each for the tune and its companions, the parts of the band and the
// drums, so that no part ever cuts another short.
enum Channel : uint8_t {
    CH_LEAD,
    CH_ECHO,    // the tune's echo
    CH_COUNTER, // counter-melody, the bridge's tune, thirds under the tune
    CH_BASS,
    CH_PAD_LOW,
    CH_PAD_MIDDLE,
    CH_PAD_HIGH,
    CH_PLUCK,
    CH_BELL,
    CH_STAB,
    CH_KICK,
    CH_SNARE,
    CH_HATS,
    CH_TOMS,
    CH_CRASH,
    CH_FILL, // the build's snare roll, over the groove's own snare
};
static_assert(CH_FILL + 1 == SONG_CHANNELS);

struct Score {
    std::vector<Cell> cells = std::vector<Cell>(SONG_ROWS * SONG_CHANNELS, Cell{});
    // Null past the end of the song.
    Cell* at(int channel, int row);
};

// A row of the song from a bar (0-based) and a row within it.
constexpr int song_row(int bar, int row) {
    return bar * ROWS_PER_BAR + row;
}
// The row of eighth `eighth` (0..7) of a bar, swung.
constexpr int eighth_row(int eighth) {
    return eighth / 2 * ROWS_PER_BEAT + eighth % 2 * SWING_ROWS;
}
// The row of triplet `step` (0..11) of a bar.
constexpr int triplet_row(int step) {
    constexpr int IN_BEAT[] = {0, 3, 5};
    return step / 3 * ROWS_PER_BEAT + IN_BEAT[step % 3];
}

// 0-based note number (C-0 is 0) from a name such as "C5", "F#4" or "Bb3"; -1 if malformed.
int parse_note(std::string_view name);
// The cell's note byte for a 0-based note.
constexpr uint8_t cell_note(int note) {
    return static_cast<uint8_t>(note + 1);
}

// Places a note with its instrument; volume (0..64) sets the channel volume, -1 keeps the sample's.
void play(Score& score, int channel, int row, int note, uint8_t instrument, int volume = -1);
void release(Score& score, int channel, int row); // key-off
void command(Score& score, int channel, int row, uint8_t effect, uint8_t param);
