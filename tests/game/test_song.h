// A small song for the game's music requests: one channel, a new note on every row.
#pragma once
#include "tools/xm_writer/xm_writer.h"

#include <cstdint>
#include <vector>

inline std::vector<uint8_t> test_song(int rows) {
    xm::Module m;
    m.channels = 1;
    m.speed = 3;
    xm::Instrument instrument;
    instrument.samples.push_back(xm::square_sample(40, 12000));
    m.instruments.push_back(instrument);
    xm::Pattern p = xm::pattern(m, rows);
    for (int row = 0; row < rows; ++row) {
        xm::cell(m, p, row, 0).note = static_cast<uint8_t>(49 + row % 12);
        xm::cell(m, p, row, 0).instrument = 1;
    }
    m.patterns.push_back(p);
    return xm::write(m);
}
