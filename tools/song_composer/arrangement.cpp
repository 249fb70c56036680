// A shuffle in G major that climbs to A major for its return. Bars count from 0; two bars make an
// order. The hook is a rising "sol-mi-fa-sol-do" figure that the intro sequences down through the
// chords, the theme states and answers, the variation decorates and the return sings in thirds.
#include "arrangement.h"

#include "drums.h"
#include "lines.h"
#include "parts.h"
#include "song_form.h"

namespace {
constexpr Key G_MAJOR{7};
constexpr int UP_TO_A = 2; // semitones from G major to A major
constexpr int OCTAVE = 12;
constexpr int THIRD_BELOW = -2;

constexpr int section_bar(int section) {
    return SONG_FORM[section].first_order * BARS_PER_PATTERN;
}
// First bar of each section.
constexpr int INTRO = section_bar(0), THEME = section_bar(1), VARIATION = section_bar(2),
              BRIDGE = section_bar(3), RETURN = section_bar(4), ENDING = section_bar(5);
static_assert(ENDING + 2 == SONG_BARS, "the ending is the last two bars");

const ChordChart CHART = parse_chart({
    "G",   "Em", "C",   "D",                         // intro
    "G",   "D",  "Em",  "C", "G",  "D",  "C D", "G", // theme
    "G",   "D",  "Em",  "C", "G",  "D",  "C D", "G", // variation
    "Am",  "Bm", "C",   "D", "Bm", "E7",             // bridge: climbing, then the dominant of A
    "A",   "E",  "F#m", "D", "A",  "E",  "D E", "A", // return, a tone higher
    "D E", "A",                                      // ending
});

constexpr std::string_view INTRO_HOOK[] = {
    "D5 . B4 C5 D5 - G5 -",
    "B4 . G4 A4 B4 - E5 -",
    "G4 . E4 F#4 G4 - C5 -",
    "A4 . F#4 G4 A4 - . .",
};

constexpr std::string_view THEME_TUNE[] = {
    "D5 . B4 C5 D5 - G5 -", "A4 . F#4 G4 A4 - D5 -",  "B4 . G4 A4 B4 - E5 -",  "E5 - D5 C5 B4 - A4 .",
    "D5 . B4 C5 D5 - G5 -", "F#5 . D5 E5 F#5 - A5 -", "G5 - E5 C5 A5 - F#5 -", "G5 - - - - - . .",
};

constexpr std::string_view VARIATION_TUNE[] = {
    "D5 . B4 C5 D5 - ~G5 A5", "F#5 . D5 E5 F#5 - A5 -",  "G5 . E5 F#5 G5 - B5 -", "A5 - G5 E5 D5 - C5 -",
    "D5 . B4 C5 D5 - G5 -",   "A5 - F#5 D5 E5 F#5 A5 -", "G5 - E5 C5 A5 - F#5 -", "G5 - D5 B4 G4 - . .",
};

// Slow guide tones under the variation's tune, moving against it.
constexpr std::string_view COUNTER_TUNE[] = {
    "B4 - - - D5 - - -", "A4 - - - F#4 - - -", "G4 - - - B4 - - -",  "C5 - - - E5 - - -",
    "D5 - - - B4 - - -", "C5 - - - A4 - - -",  "G4 - - - F#4 - - -", "G4 - - - - - . .",
};

// The bridge sings longer notes, a step higher every bar, and turns toward A at the end.
constexpr std::string_view BRIDGE_TUNE[] = {
    "C5 - - B4 A4 - E5 -",  "D5 - - C#5 B4 - F#5 -", "E5 - - D5 C5 - G5 -",
    "F#5 - - E5 D5 - A5 -", "B5 - - A5 F#5 - D5 -",  "E5 - G#5 - B5 - - -",
};

constexpr std::string_view ENDING_TUNE[] = {
    "F#5 - A5 - G#5 - B5 -",
    "A5 - - - . . . .",
};

// Thirds under the tune, settling on the fifth so the last chord rings open.
constexpr std::string_view ENDING_HARMONY[] = {
    "D5 - F#5 - E5 - - -",
    "E5 - - - . . . .",
};

constexpr char FLOW[] = "0.1.2.1."; // the pluck's broken chord

// Levels (channel volume, 0..64).
constexpr int ECHO_VOLUME = 16, COUNTER_VOLUME = 22, THIRDS_VOLUME = 24, BRIDGE_TUNE_VOLUME = 40;
constexpr int INTRO_BELL_VOLUME = 40, BRIDGE_BELL_VOLUME = 18, RETURN_BELL_VOLUME = 14;
constexpr int BASS_VOLUME = 44, PAD_VOLUME = 28, BRIDGE_PAD_VOLUME = 34, PLUCK_VOLUME = 24;
// The build's snare roll tightens from straight eighths to sixteenths to every row, ever louder.
constexpr int ROLL_EIGHTHS = 4, ROLL_SIXTEENTHS = 2, ROLL_EVERY_ROW = 1; // rows between hits
constexpr int ROLL_VOLUMES[] = {12, 28, 44, 56};

constexpr int FINAL_BASS = 21;
constexpr int FINAL_BELL = 81;
constexpr uint8_t MAJOR_ARPEGGIO = 0x47;

constexpr std::string_view SHUFFLE_KICK = "x.....x.x...", SHUFFLE_SNARE = "...x.....x..";
constexpr std::string_view SHUFFLE_HATS = "C.cC.cC.cC.c", OPEN_HATS = "C.cC.cC.cC.o";
constexpr std::string_view FLOOR_KICK = "x..x..x..x..", GHOST_SNARE = "...x.o...x..";

// Eight bars of four on the floor with ghosted snares and an open hat every other bar; a snare
// pickup halfway and two beats of toms at the end.
void driving_drums(Score& score, int first_bar) {
    drum_repeat(score, Drum::KICK, CH_KICK, first_bar, 8, FLOOR_KICK);
    for (int half : {0, 4}) {
        drum_repeat(score, Drum::SNARE, CH_SNARE, first_bar + half, 3, GHOST_SNARE);
        for (int bar = 0; bar < 3; ++bar)
            drum_bars(score, Drum::HATS, CH_HATS, first_bar + half + bar,
                      {bar % 2 ? OPEN_HATS : SHUFFLE_HATS});
    }
    drum_bars(score, Drum::SNARE, CH_SNARE, first_bar + 3, {"...x.o...xXX"});
    drum_bars(score, Drum::HATS, CH_HATS, first_bar + 3, {"C.cC.cC.c..."});
    drum_bars(score, Drum::SNARE, CH_SNARE, first_bar + 7, {"...x........"});
    drum_bars(score, Drum::HATS, CH_HATS, first_bar + 7, {"C.cC.c......"});
    drum_bars(score, Drum::TOMS, CH_TOMS, first_bar + 7, {"......112234"});
}

void intro(Score& score, PadState& pad) {
    write_line(score, CH_BELL, INTRO, INTRO_HOOK,
               {.instrument = BELL, .volume = INTRO_BELL_VOLUME, .transpose = OCTAVE});
    pluck_part(score, CHART, INTRO, 4, pad, FLOW, 1, PLUCK_VOLUME);
    pad_part(score, CHART, INTRO, 4, pad, PAD_VOLUME, true);
    bass_part(score, CHART, INTRO + 2, 2, BassFigure::BOUNCE, BASS_VOLUME);
    drum_bars(score, Drum::KICK, CH_KICK, INTRO + 2, {SHUFFLE_KICK, "x.....x....."});
    drum_bars(score, Drum::SNARE, CH_SNARE, INTRO + 2, {SHUFFLE_SNARE, "...x........"});
    drum_bars(score, Drum::HATS, CH_HATS, INTRO + 2, {SHUFFLE_HATS, "C.cC.cC.c..."});
    drum_bars(score, Drum::TOMS, CH_TOMS, INTRO + 3, {".........123"});
}

void theme(Score& score, PadState& pad) {
    write_line(score, CH_LEAD, THEME, THEME_TUNE, {.instrument = LEAD});
    write_line(score, CH_ECHO, THEME, THEME_TUNE,
               {.instrument = FLUTE, .volume = ECHO_VOLUME, .delay_rows = ROWS_PER_BEAT});
    pluck_part(score, CHART, THEME, 8, pad, FLOW, 0, PLUCK_VOLUME);
    pad_part(score, CHART, THEME, 8, pad, PAD_VOLUME, false);
    bass_part(score, CHART, THEME, 8, BassFigure::BOUNCE, BASS_VOLUME);
    drum_bars(score, Drum::CRASH, CH_CRASH, THEME, {"x..........."});
    drum_bars(score, Drum::CRASH, CH_CRASH, THEME + 4, {"o..........."});
    for (int half : {0, 4}) {
        drum_repeat(score, Drum::KICK, CH_KICK, THEME + half, 4, SHUFFLE_KICK);
        drum_repeat(score, Drum::SNARE, CH_SNARE, THEME + half, 3, SHUFFLE_SNARE);
        drum_repeat(score, Drum::HATS, CH_HATS, THEME + half, 3, SHUFFLE_HATS);
    }
    // A pickup on the snare halfway, toms into the variation.
    drum_bars(score, Drum::SNARE, CH_SNARE, THEME + 3, {"...x.....xoX"});
    drum_bars(score, Drum::HATS, CH_HATS, THEME + 3, {"C.cC.cC.cC.o"});
    drum_bars(score, Drum::SNARE, CH_SNARE, THEME + 7, {"...x..x....."});
    drum_bars(score, Drum::HATS, CH_HATS, THEME + 7, {"C.cC.c......"});
    drum_bars(score, Drum::TOMS, CH_TOMS, THEME + 7, {"......1.2334"});
}

void variation(Score& score, PadState& pad) {
    write_line(score, CH_LEAD, VARIATION, VARIATION_TUNE, {.instrument = LEAD});
    write_line(score, CH_COUNTER, VARIATION, COUNTER_TUNE, {.instrument = FLUTE, .volume = COUNTER_VOLUME});
    stab_part(score, CHART, VARIATION, 8);
    pad_part(score, CHART, VARIATION, 8, pad, PAD_VOLUME, false);
    bass_part(score, CHART, VARIATION, 8, BassFigure::BOOGIE, BASS_VOLUME);
    drum_bars(score, Drum::CRASH, CH_CRASH, VARIATION, {"x..........."});
    drum_bars(score, Drum::CRASH, CH_CRASH, VARIATION + 4, {"o..........."});
    driving_drums(score, VARIATION);
}

void bridge(Score& score, PadState& pad) {
    write_line(score, CH_COUNTER, BRIDGE, BRIDGE_TUNE, {.instrument = FLUTE, .volume = BRIDGE_TUNE_VOLUME});
    write_line(score, CH_BELL, BRIDGE, std::span(BRIDGE_TUNE).first(4),
               {.instrument = BELL, .volume = BRIDGE_BELL_VOLUME, .transpose = OCTAVE});
    pluck_part(score, CHART, BRIDGE, 6, pad, FLOW, 0, PLUCK_VOLUME);
    pad_part(score, CHART, BRIDGE, 6, pad, BRIDGE_PAD_VOLUME, false);
    bass_part(score, CHART, BRIDGE, 4, BassFigure::LONG, BASS_VOLUME);
    bass_part(score, CHART, BRIDGE + 4, 2, BassFigure::PEDAL, BASS_VOLUME);
    drum_bars(score, Drum::CRASH, CH_CRASH, BRIDGE, {"o..........."});
    // Half time, then the build: four on the floor under a snare roll that tightens and swells.
    drum_repeat(score, Drum::KICK, CH_KICK, BRIDGE, 4, "x.......x...");
    drum_repeat(score, Drum::SNARE, CH_SNARE, BRIDGE, 3, "......x.....");
    drum_bars(score, Drum::SNARE, CH_SNARE, BRIDGE + 3, {"......x..xoX"});
    drum_repeat(score, Drum::HATS, CH_HATS, BRIDGE, 4, "c..c..c..c..");
    drum_repeat(score, Drum::KICK, CH_KICK, BRIDGE + 4, 2, FLOOR_KICK);
    const int build = song_row(BRIDGE + 4, 0), tighter = song_row(BRIDGE + 5, 0),
              tightest = song_row(BRIDGE + 5, ROWS_PER_BAR / 2), end = song_row(RETURN, 0);
    snare_roll(score, CH_FILL, build, tighter, ROLL_EIGHTHS, ROLL_VOLUMES[0], ROLL_VOLUMES[1]);
    snare_roll(score, CH_FILL, tighter, tightest, ROLL_SIXTEENTHS, ROLL_VOLUMES[1], ROLL_VOLUMES[2]);
    snare_roll(score, CH_FILL, tightest, end, ROLL_EVERY_ROW, ROLL_VOLUMES[2], ROLL_VOLUMES[3]);
}

void return_section(Score& score, PadState& pad) {
    write_line(score, CH_LEAD, RETURN, THEME_TUNE, {.instrument = LEAD, .transpose = UP_TO_A});
    write_line(score, CH_COUNTER, RETURN, THEME_TUNE,
               {.instrument = FLUTE,
                .volume = THIRDS_VOLUME,
                .transpose = UP_TO_A,
                .steps = THIRD_BELOW,
                .key = G_MAJOR});
    // The bell shadows the tune an octave up in the last phrase: the lift before the end.
    write_line(score, CH_BELL, RETURN + 4, std::span(THEME_TUNE).last(4),
               {.instrument = BELL, .volume = RETURN_BELL_VOLUME, .transpose = UP_TO_A + OCTAVE});
    stab_part(score, CHART, RETURN, 8);
    pluck_part(score, CHART, RETURN, 8, pad, FLOW, 0, PLUCK_VOLUME);
    pad_part(score, CHART, RETURN, 8, pad, PAD_VOLUME, false);
    bass_part(score, CHART, RETURN, 8, BassFigure::BOOGIE, BASS_VOLUME);
    drum_bars(score, Drum::CRASH, CH_CRASH, RETURN, {"x..........."});
    drum_bars(score, Drum::CRASH, CH_CRASH, RETURN + 4, {"x..........."});
    driving_drums(score, RETURN);
}

void ending(Score& score, PadState& pad) {
    write_line(score, CH_LEAD, ENDING, ENDING_TUNE, {.instrument = LEAD});
    write_line(score, CH_COUNTER, ENDING, ENDING_HARMONY, {.instrument = FLUTE, .volume = THIRDS_VOLUME});
    stab_part(score, CHART, ENDING, 1);
    pad_part(score, CHART, ENDING, 2, pad, PAD_VOLUME, false);
    bass_part(score, CHART, ENDING, 1, BassFigure::BOUNCE, BASS_VOLUME);
    // The last chord: everyone on the downbeat, then the band lets go on beat three.
    const int last = song_row(ENDING + 1, 0), let_go = song_row(ENDING + 1, 2 * ROWS_PER_BEAT);
    play(score, CH_BASS, last, FINAL_BASS, BASS, BASS_VOLUME);
    release(score, CH_BASS, let_go);
    pad_release(score, let_go, pad);
    play(score, CH_BELL, last, FINAL_BELL, BELL, INTRO_BELL_VOLUME); // shimmering through its chord
    for (int r = 0; r < ROWS_PER_BEAT; ++r)
        command(score, CH_BELL, last + r, ARPEGGIO, MAJOR_ARPEGGIO);
    drum_bars(score, Drum::KICK, CH_KICK, ENDING, {FLOOR_KICK, "X..........."});
    drum_bars(score, Drum::SNARE, CH_SNARE, ENDING, {"...x........", "X..........."});
    drum_bars(score, Drum::TOMS, CH_TOMS, ENDING, {"......112234"});
    drum_bars(score, Drum::CRASH, CH_CRASH, ENDING + 1, {"x..........."});
}
} // namespace

Score arrange_song() {
    Score score;
    PadState pad{{47, 50, 55}, false, 0}; // B-3 D-4 G-4: the opening G chord, close around middle C
    intro(score, pad);
    theme(score, pad);
    variation(score, pad);
    bridge(score, pad);
    return_section(score, pad);
    ending(score, pad);
    return score;
}
