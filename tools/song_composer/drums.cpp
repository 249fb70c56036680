#include "drums.h"

#include <span>
#include <stdexcept>
#include <string>

namespace {
struct Hit {
    char symbol;
    uint8_t instrument;
    int note_offset; // semitones from DRUM_NOTE
    uint8_t effect;
    uint8_t param;
};

constexpr uint8_t TOM_BEND = 0x02; // portamento down: the classic falling tom

constexpr Hit KICK_KIT[] = {
    {'x', KICK, 0, SET_VOLUME, 52}, {'X', KICK, 0, SET_VOLUME, 60}, {'o', KICK, 0, SET_VOLUME, 36}};
constexpr Hit SNARE_KIT[] = {
    {'x', SNARE, 0, SET_VOLUME, 46}, {'X', SNARE, 0, SET_VOLUME, 56}, {'o', SNARE, 0, SET_VOLUME, 16}};
constexpr Hit HAT_KIT[] = {{'c', CLOSED_HAT, 0, SET_VOLUME, 10},
                           {'C', CLOSED_HAT, 0, SET_VOLUME, 15},
                           {'g', CLOSED_HAT, 0, SET_VOLUME, 6},
                           {'o', OPEN_HAT, 0, SET_VOLUME, 12}};
constexpr Hit TOM_KIT[] = {{'1', TOM, 7, PORTA_DOWN, TOM_BEND},
                           {'2', TOM, 3, PORTA_DOWN, TOM_BEND},
                           {'3', TOM, -2, PORTA_DOWN, TOM_BEND},
                           {'4', TOM, -7, PORTA_DOWN, TOM_BEND}};
constexpr Hit CRASH_KIT[] = {{'x', CRASH, 0, SET_VOLUME, 13}, {'o', CRASH, 0, SET_VOLUME, 8}};

std::span<const Hit> kit(Drum drum) {
    switch (drum) {
    case Drum::KICK:
        return KICK_KIT;
    case Drum::SNARE:
        return SNARE_KIT;
    case Drum::HATS:
        return HAT_KIT;
    case Drum::TOMS:
        return TOM_KIT;
    case Drum::CRASH:
        return CRASH_KIT;
    }
    return {};
}

void drum_bar(Score& score, Drum drum, int channel, int bar, std::string_view text) {
    if (text.size() != TRIPLETS_PER_BAR)
        throw std::runtime_error("drum bar \"" + std::string(text) + "\" is not twelve steps");
    for (int step = 0; step < TRIPLETS_PER_BAR; ++step) {
        const char symbol = text[static_cast<size_t>(step)];
        if (symbol == '.') continue;
        const Hit* hit = nullptr;
        for (const Hit& h : kit(drum))
            if (h.symbol == symbol) hit = &h;
        if (!hit)
            throw std::runtime_error("drum bar \"" + std::string(text) + "\" has no hit '" + symbol + "'");
        const int row = song_row(bar, triplet_row(step));
        play(score, channel, row, DRUM_NOTE + hit->note_offset, hit->instrument);
        command(score, channel, row, hit->effect, hit->param);
    }
}
} // namespace

void drum_bars(Score& score, Drum drum, int channel, int first_bar,
               std::initializer_list<std::string_view> bars) {
    for (std::string_view text : bars)
        drum_bar(score, drum, channel, first_bar++, text);
}

void drum_repeat(Score& score, Drum drum, int channel, int first_bar, int count, std::string_view bar) {
    for (int i = 0; i < count; ++i)
        drum_bar(score, drum, channel, first_bar + i, bar);
}

void snare_roll(Score& score, int channel, int from_row, int to_row, int every, int from_volume,
                int to_volume) {
    const int span = to_row - from_row;
    for (int row = from_row; row < to_row; row += every) {
        const int volume = from_volume + (to_volume - from_volume) * (row - from_row) / span;
        play(score, channel, row, DRUM_NOTE, SNARE, volume);
    }
}
