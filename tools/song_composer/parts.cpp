#include "parts.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {
constexpr int BASS_FLOOR = 16;             // E-1: every bass root sits in the octave above
constexpr int PAD_LOW = 43, PAD_HIGH = 64; // G-3 .. E-5
constexpr int STAB_FLOOR = 43;             // G-3
constexpr uint8_t PAD_GLIDE = 0x40;        // fast enough to sound like a legato change of chord
constexpr int OCTAVE = 12, FIFTH = 7;
constexpr int SWELL_START_VOLUME = 4;
constexpr uint8_t SWELL_SLIDE = 0x10; // +1 a tick
constexpr int SWELL_STEP_PER_ROW = SONG_SPEED - 1;
constexpr int PEDAL_OFFBEAT_DROP = 12; // the off-beat eighths of a pedal, this much softer
constexpr int STAB_CUT_ROW = 2;        // rows after the stab's note that carry the cut
constexpr uint8_t STAB_CUT_TICK = 1;

bool same(Chord a, Chord b) {
    return a.root == b.root && a.quality == b.quality;
}

int bass_root(Chord chord) {
    return note_at_or_above(chord.root, BASS_FLOOR);
}

// The chord's own shape for the boogie figure: root, third, fifth, sixth (or seventh) and back.
std::array<int, EIGHTHS_PER_BAR> boogie_steps(Chord chord) {
    const int third = chord.quality == Quality::MINOR ? 3 : 4;
    const int sixth = chord.quality == Quality::MAJOR ? 9 : 10;
    return {0, third, FIFTH, sixth, OCTAVE, sixth, FIFTH, third};
}

uint8_t arpeggio_param(Chord chord) {
    const std::array<int, 3> tones = chord_tones(chord);
    const int third = (tones[1] - tones[0] + OCTAVE) % OCTAVE;
    const int top = (tones[2] - tones[0] + OCTAVE) % OCTAVE;
    return static_cast<uint8_t>(third << 4 | top);
}
} // namespace

ChordChart parse_chart(std::initializer_list<std::string_view> bars) {
    ChordChart chart;
    for (std::string_view bar : bars) {
        const size_t space = bar.find(' ');
        const Chord first = parse_chord(bar.substr(0, space));
        chart.halves.push_back(first);
        chart.halves.push_back(space == std::string_view::npos ? first : parse_chord(bar.substr(space + 1)));
    }
    return chart;
}

void bass_part(Score& score, const ChordChart& chart, int first_bar, int bars, BassFigure figure,
               int volume) {
    const int chart_bars = static_cast<int>(chart.halves.size() / 2);
    for (int bar = first_bar; bar < first_bar + bars; ++bar) {
        const bool split = !same(chart.at(bar, 0), chart.at(bar, 1));
        for (int e = 0; e < EIGHTHS_PER_BAR; ++e) {
            const Chord chord = chart.at(bar, e / 4);
            const int root = bass_root(chord);
            const int row = song_row(bar, eighth_row(e));
            int note = -1, level = volume;
            switch (figure) {
            case BassFigure::BOUNCE:
                note = e % 2 == 0 ? root : root + OCTAVE;
                // The last eighth leans a semitone into the next bar's root, from above when below
                // would fall under the bass's range.
                if (e == EIGHTHS_PER_BAR - 1 && bar + 1 < chart_bars && !same(chart.at(bar + 1, 0), chord)) {
                    const int next = bass_root(chart.at(bar + 1, 0));
                    note = next - 1 >= BASS_FLOOR ? next - 1 : next + 1;
                }
                break;
            case BassFigure::BOOGIE:
                note = root + boogie_steps(chord)[static_cast<size_t>(split ? e % 4 : e)];
                break;
            case BassFigure::LONG:
                if (e == 0 || (split && e == 4)) note = root;
                if (!split && e == 6) note = root + FIFTH;
                break;
            case BassFigure::PEDAL:
                note = root;
                if (e % 2 == 1) level -= PEDAL_OFFBEAT_DROP;
                break;
            }
            if (note >= 0) play(score, CH_BASS, row, note, BASS, level);
        }
    }
}

void pad_part(Score& score, const ChordChart& chart, int first_bar, int bars, PadState& pad, int volume,
              bool swell) {
    constexpr Channel CHANNELS[] = {CH_PAD_LOW, CH_PAD_MIDDLE, CH_PAD_HIGH};
    if (pad.sounding && pad.volume != volume) {
        // The row after a chord change is always free on the pad's channels.
        for (Channel ch : CHANNELS)
            command(score, ch, song_row(first_bar, 1), SET_VOLUME, static_cast<uint8_t>(volume));
    }
    pad.volume = volume;
    for (int bar = first_bar; bar < first_bar + bars; ++bar)
        for (int half = 0; half < 2; ++half) {
            if (half == 1 && same(chart.at(bar, 0), chart.at(bar, 1))) continue;
            const Voicing next = voice_lead(pad.voicing, chart.at(bar, half), PAD_LOW, PAD_HIGH);
            const int row = song_row(bar, half * ROWS_PER_BAR / 2);
            for (size_t v = 0; v < next.size(); ++v) {
                if (!pad.sounding) {
                    play(score, CHANNELS[v], row, next[v], PAD, swell ? SWELL_START_VOLUME : volume);
                } else if (next[v] != pad.voicing[v]) {
                    Cell* c = score.at(CHANNELS[v], row);
                    if (!c) continue;
                    c->note = cell_note(next[v]);
                    c->effect = TONE_PORTA;
                    c->param = PAD_GLIDE;
                }
            }
            // The swell: single rows of slide spread evenly over the first bar, then the exact level.
            if (!pad.sounding && swell) {
                const int slides =
                    (volume - SWELL_START_VOLUME + SWELL_STEP_PER_ROW - 1) / SWELL_STEP_PER_ROW;
                const int spacing = std::max(1, ROWS_PER_BAR / (slides + 1));
                for (Channel ch : CHANNELS) {
                    for (int i = 1; i <= slides; ++i)
                        command(score, ch, row + i * spacing - 1, VOLUME_SLIDE, SWELL_SLIDE);
                    command(score, ch, row + (slides + 1) * spacing - 1, SET_VOLUME,
                            static_cast<uint8_t>(volume));
                }
            }
            pad.voicing = next;
            pad.sounding = true;
        }
}

void pad_release(Score& score, int row, PadState& pad) {
    for (Channel ch : {CH_PAD_LOW, CH_PAD_MIDDLE, CH_PAD_HIGH})
        release(score, ch, row);
    pad.sounding = false;
}

void pluck_part(Score& score, const ChordChart& chart, int first_bar, int bars, const PadState& pad,
                const char* figure, int octave, int volume) {
    if (std::string_view(figure).size() != EIGHTHS_PER_BAR)
        throw std::runtime_error(std::string("pluck figure \"") + figure + "\" is not eight eighths");
    Voicing voicing = pad.voicing;
    for (int bar = first_bar; bar < first_bar + bars; ++bar)
        for (int e = 0; e < EIGHTHS_PER_BAR; ++e) {
            if (e % 4 == 0) voicing = voice_lead(voicing, chart.at(bar, e / 4), PAD_LOW, PAD_HIGH);
            const char step = figure[e];
            if (step == '.') continue;
            const int index = step - '0';
            const int note = voicing[static_cast<size_t>(index % 3)] + OCTAVE * (index / 3 + octave);
            play(score, CH_PLUCK, song_row(bar, eighth_row(e)), note, PLUCK, volume);
        }
}

void stab_part(Score& score, const ChordChart& chart, int first_bar, int bars) {
    for (int bar = first_bar; bar < first_bar + bars; ++bar)
        for (int e : {3, 7}) {
            const Chord chord = chart.at(bar, e / 4);
            const int row = song_row(bar, eighth_row(e));
            play(score, CH_STAB, row, note_at_or_above(chord.root, STAB_FLOOR), STAB);
            for (int r = 0; r < STAB_CUT_ROW; ++r)
                command(score, CH_STAB, row + r, ARPEGGIO, arpeggio_param(chord));
            command(score, CH_STAB, row + STAB_CUT_ROW, EXTENDED, NOTE_CUT | STAB_CUT_TICK);
        }
}
