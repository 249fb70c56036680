#include "lines.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
constexpr int PERIODS_PER_SEMITONE = 64; // linear frequency table
constexpr int PERIODS_PER_SPEED = 4;     // a tone portamento moves 4 x its speed a tick

// Where the second sixteenth of an eighth falls: the on-beat eighth is 5 rows long, the off-beat 3.
constexpr int SECOND_SIXTEENTH_ROWS[] = {3, 2};

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start || separator != ' ') parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

struct LineWriter {
    Score& score;
    int channel;
    const LineVoice& voice;
    std::string_view bar_text;
    bool sounding = false;
    int last_pitch = 0;
    // A glide runs on for as many rows as it needs to arrive, up to the line's next event.
    int glide_row = -1, glide_rows = 0;

    [[noreturn]] void fail(std::string_view what) const {
        throw std::runtime_error(std::string(what) + " in bar \"" + std::string(bar_text) + "\"");
    }

    int pitch(std::string_view name) const {
        const int note = parse_note(name);
        if (note < 0) fail("bad note \"" + std::string(name) + "\"");
        return diatonic_shift(note, voice.key, voice.steps) + voice.transpose;
    }

    void finish_glide(int next_event_row) {
        for (int r = glide_row + 1; r < glide_row + glide_rows && r < next_event_row; ++r)
            command(score, channel, r, TONE_PORTA, voice.glide_speed);
        glide_row = -1;
    }

    void atom(std::string_view token, int row) {
        if (token == "-") return;
        if (glide_row >= 0) finish_glide(row);
        if (token == ".") {
            if (sounding) release(score, channel, row);
            sounding = false;
            return;
        }
        if (token.starts_with('~')) {
            if (!sounding) fail("a glide needs a sounding note");
            Cell* c = score.at(channel, row);
            if (!c) return;
            const int target = pitch(token.substr(1));
            c->note = cell_note(target);
            c->effect = TONE_PORTA;
            c->param = voice.glide_speed;
            const int per_row = PERIODS_PER_SPEED * voice.glide_speed * (SONG_SPEED - 1);
            glide_rows = (std::abs(target - last_pitch) * PERIODS_PER_SEMITONE + per_row - 1) / per_row;
            glide_row = row;
            last_pitch = target;
            return;
        }
        last_pitch = pitch(token);
        play(score, channel, row, last_pitch, voice.instrument, voice.volume);
        sounding = true;
    }
};
} // namespace

void write_line(Score& score, int channel, int first_bar, std::span<const std::string_view> bars,
                const LineVoice& voice) {
    LineWriter writer{score, channel, voice, {}};
    int bar = first_bar;
    for (std::string_view text : bars) {
        writer.bar_text = text;
        const std::vector<std::string_view> eighths = split(text, ' ');
        if (eighths.size() != EIGHTHS_PER_BAR) writer.fail("not eight eighths");
        for (int e = 0; e < EIGHTHS_PER_BAR; ++e) {
            const int row = song_row(bar, eighth_row(e)) + voice.delay_rows;
            const std::vector<std::string_view> halves = split(eighths[static_cast<size_t>(e)], '/');
            if (halves.size() > 2 || halves[0].empty()) writer.fail("bad eighth");
            writer.atom(halves[0], row);
            if (halves.size() == 2) writer.atom(halves[1], row + SECOND_SIXTEENTH_ROWS[e % 2]);
        }
        ++bar;
    }
    if (writer.glide_row >= 0) writer.finish_glide(SONG_ROWS);
}
