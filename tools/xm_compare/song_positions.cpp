#include "song_positions.h"

#include "audio/music/mixer.h"
#include "audio/music/module_loader.h"
#include "audio/music/sequencer.h"

#include <algorithm>

std::vector<RowStart> song_positions(const char* module_path, uint64_t frame_limit) {
    std::vector<RowStart> rows;
    if (!music_load(module_path, 0, MUSIC_FROM_FILE | MUSIC_LOOP)) return rows;
    sequencer_end_on_return(1);
    for (uint64_t frame = 0; frame < frame_limit && !song.ended;) {
        const bool row_starts = song.tick == 0;
        sequencer_tick();
        if (row_starts && !song.ended) rows.push_back({frame, song.order, song.row});
        frame += static_cast<uint64_t>(song.frames_left_in_tick);
    }
    music_unload();
    return rows;
}

const RowStart* row_at(const std::vector<RowStart>& rows, uint64_t frame) {
    auto after = std::upper_bound(rows.begin(), rows.end(), frame,
                                  [](uint64_t f, const RowStart& r) { return f < r.frame; });
    return after == rows.begin() ? (rows.empty() ? nullptr : &rows.front()) : &*(after - 1);
}
