// quibbet-xm info: the figures of a module as the player loaded it, and how long it plays
// (found by running the sequencer alone, without mixing), once or a given number of times.
#include "audio/music/mixer.h"
#include "audio/music/module_loader.h"
#include "audio/music/sequencer.h"
#include "xm_commands.h"

#include <cstdio>

namespace {
constexpr uint64_t LENGTH_LIMIT_FRAMES = uint64_t{SONG_LIMIT_MINUTES} * 60 * OUTPUT_RATE;

// Frames until the song ends, or 0 when it runs past the limit (it loops without coming back).
uint64_t song_frames() {
    uint64_t frames = 0;
    while (frames < LENGTH_LIMIT_FRAMES) {
        sequencer_tick();
        if (song.ended) return frames;
        frames += static_cast<uint64_t>(song.frames_left_in_tick);
    }
    return 0;
}
} // namespace

int info_command(const char* module_path, int loops) {
    if (!load_for_tool(module_path, loops)) return EXIT_BAD_INPUT;
    int samples = 0;
    int64_t points = 0;
    for (int i = 0; i < song.instrument_count; ++i)
        for (const SampleRecord* s : song.instrument_table[i].samples)
            if (s) {
                ++samples;
                points += s->length;
            }
    int rows = 0;
    for (int p = 0; p < song.pattern_slot_count; ++p)
        rows += song.pattern_table[p].rows;

    std::printf("channels     %d\n", song.channel_count);
    std::printf("orders       %d (restart at %d)\n", song.song_length, song.restart_order);
    std::printf("patterns     %d (%d rows)\n", song.pattern_slot_count, rows);
    std::printf("instruments  %d\n", song.instrument_count);
    std::printf("samples      %d (%lld points)\n", samples, static_cast<long long>(points));
    std::printf("tempo        speed %d, %d BPM\n", song.speed, OUTPUT_RATE * 5 / 2 / song.frames_per_tick);
    std::printf("frequencies  %s\n",
                song.module_flags & MODULE_LINEAR_FREQUENCIES ? "linear" : "classic periods");
    const uint64_t frames = song_frames();
    if (frames == 0)
        std::printf("length       endless (runs past %d minutes)\n", SONG_LIMIT_MINUTES);
    else
        std::printf("length       %llu:%06.3f\n", static_cast<unsigned long long>(frames / OUTPUT_RATE / 60),
                    static_cast<double>(frames % (uint64_t{OUTPUT_RATE} * 60)) / OUTPUT_RATE);
    music_unload();
    return 0;
}
