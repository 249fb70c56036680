// Pattern cells from the module stream, packed (a mask byte naming the fields that follow) or
// whole (five bytes). Decodes exactly as many cells as asked; the stored packed size does not
// bound it.
// Threads: the loading thread.
#pragma once
#include "audio/music/module_source.h"
#include "audio/music/song.h"

#include <span>

// Instrument numbers above instrument_count read as none.
void decode_pattern_cells(ModuleSource& source, std::span<Cell> cells, int instrument_count);
