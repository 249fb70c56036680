#include "score.h"

#include "harmony.h"

Cell* Score::at(int channel, int row) {
    if (row < 0 || row >= SONG_ROWS || channel < 0 || channel >= SONG_CHANNELS) return nullptr;
    return &cells[static_cast<size_t>(row * SONG_CHANNELS + channel)];
}

int parse_note(std::string_view name) {
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return -1;
    int pitch = letter_pitch_class(name[0]);
    size_t i = 1;
    if (name[i] == '#' || name[i] == 'b') pitch += name[i++] == '#' ? 1 : -1;
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '7') return -1;
    return (name[i] - '0') * 12 + pitch;
}

void play(Score& score, int channel, int row, int note, uint8_t instrument, int volume) {
    Cell* c = score.at(channel, row);
    if (!c) return;
    c->note = cell_note(note);
    c->instrument = instrument;
    if (volume >= 0) {
        c->effect = SET_VOLUME;
        c->param = static_cast<uint8_t>(volume);
    }
}

void release(Score& score, int channel, int row) {
    if (Cell* c = score.at(channel, row)) c->note = NOTE_KEY_OFF;
}

void command(Score& score, int channel, int row, uint8_t effect, uint8_t param) {
    if (Cell* c = score.at(channel, row)) {
        c->effect = effect;
        c->param = param;
    }
}
