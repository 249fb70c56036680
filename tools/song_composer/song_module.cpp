#include "song_module.h"

#include "arrangement.h"

#include <algorithm>

std::vector<xm::Instrument> song_instruments() {
    return {lead(), flute(), bass(),       pad(),      pluck(), bell(), stab(),
            kick(), snare(), closed_hat(), open_hat(), tom(),   crash()};
}

xm::Module song_module() {
    xm::Module m;
    m.name = "Quibbet";
    m.tracker = "quibbet composer";
    m.channels = SONG_CHANNELS;
    m.speed = SONG_SPEED;
    m.bpm = SONG_BPM;
    m.restart = 0;
    m.instruments = song_instruments();
    const Score score = arrange_song();
    m.orders.clear();
    for (int order = 0; order < SONG_ORDERS; ++order) {
        xm::Pattern p = xm::pattern(m, ROWS_PER_PATTERN);
        const auto first = score.cells.begin() + order * ROWS_PER_PATTERN * SONG_CHANNELS;
        std::copy(first, first + ROWS_PER_PATTERN * SONG_CHANNELS, p.cells.begin());
        m.patterns.push_back(p);
        m.orders.push_back(static_cast<uint8_t>(order));
    }
    while (static_cast<int>(m.patterns.size()) < SONG_PATTERNS) {
        m.patterns.push_back(xm::pattern(m, ROWS_PER_PATTERN));
        m.patterns.back().stored_empty = true;
    }
    return m;
}
