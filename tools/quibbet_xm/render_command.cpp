// quibbet-xm render: the player's chunk mixer, run as fast as it goes, straight into a WAV file.
// A song that jumps back on itself forever is cut after RENDER_LIMIT_MINUTES.
#include "audio/music/mixer.h"
#include "wav_file.h"
#include "xm_commands.h"

#include <cstdio>

namespace {
constexpr int RENDER_LIMIT_MINUTES = 30;
constexpr uint64_t RENDER_LIMIT_CHUNKS = uint64_t{RENDER_LIMIT_MINUTES} * 60 * OUTPUT_RATE / CHUNK_FRAMES;
} // namespace

int render_command(const char* module_path, const char* wav_path) {
    if (!load_for_tool(module_path)) return EXIT_BAD_INPUT;
    WavFile wav = wav_create(wav_path, OUTPUT_RATE, 2);
    if (wav.failed) {
        music_unload();
        if (wav.file) wav_close(wav);
        return report_failure(wav_path, "cannot write the file");
    }
    music_set_volume(MUSIC_VOLUME_LEVELS - 1);
    while (!mixer_song_done() && mixer.chunks_mixed < RENDER_LIMIT_CHUNKS) {
        mix_chunk();
        wav_append(wav, last_chunk());
    }
    const bool cut = !mixer_song_done();
    music_unload();
    if (!wav_close(wav)) return report_failure(wav_path, "cannot write the file");
    if (cut)
        std::fprintf(stderr, "quibbet-xm: %s: the song does not end; rendered its first %d minutes\n",
                     module_path, RENDER_LIMIT_MINUTES);
    return 0;
}
