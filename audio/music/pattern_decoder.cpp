#include "audio/music/pattern_decoder.h"

namespace {

constexpr uint8_t CELL_PACKED = 0x80;
constexpr int CELL_FIELDS = 5;

uint8_t read_byte(ModuleSource& source) {
    uint8_t byte = 0;
    source_read(source, &byte, 1);
    return byte;
}

} // namespace

void decode_pattern_cells(ModuleSource& source, std::span<Cell> cells, int instrument_count) {
    for (Cell& cell : cells) {
        // Past the end of the input every cell would decode as empty, which the fresh cells
        // already are; a truncated module claiming thousands of patterns loads at once.
        if (source_exhausted(source)) return;
        uint8_t* fields[CELL_FIELDS] = {&cell.note, &cell.instrument, &cell.volume, &cell.effect,
                                        &cell.param};
        uint8_t first = read_byte(source);
        if (first & CELL_PACKED) {
            for (int f = 0; f < CELL_FIELDS; ++f)
                if (first & (1 << f)) *fields[f] = read_byte(source);
        } else {
            cell.note = first;
            for (int f = 1; f < CELL_FIELDS; ++f)
                *fields[f] = read_byte(source);
        }
        if (cell.instrument > instrument_count) cell.instrument = 0;
    }
}
