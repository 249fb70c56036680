// quibbet-xm render: the player's chunk mixer, run as fast as it goes, straight into a WAV file.
// The file ends with the fade of the song's last notes; a song that never comes back to a played
// row is cut after SONG_LIMIT_MINUTES.
#include "audio/music/mixer.h"
#include "wav_file.h"
#include "xm_commands.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr uint64_t RENDER_LIMIT_CHUNKS = uint64_t{SONG_LIMIT_MINUTES} * 60 * OUTPUT_RATE / CHUNK_FRAMES;
} // namespace

int render_command(const char* module_path, const char* wav_path, int loops) {
    if (!load_for_tool(module_path, loops)) return EXIT_BAD_INPUT;
    WavFile wav = wav_create(wav_path, OUTPUT_RATE, 2);
    if (wav.failed) {
        music_unload();
        if (wav.file) wav_close(wav);
        return report_failure(wav_path, "cannot write the file");
    }
    music_set_volume(MUSIC_VOLUME_LEVELS - 1);
    uint64_t frames = 0;
    while (mixer.chunks_mixed < RENDER_LIMIT_CHUNKS) {
        mix_chunk();
        std::span<const int16_t> chunk = last_chunk();
        const uint64_t end = mixer.song_frames + RAMP_FRAMES; // once the song has ended
        if (mixer_song_ended()) chunk = chunk.first(2 * std::min<uint64_t>(end - frames, CHUNK_FRAMES));
        wav_append(wav, chunk);
        frames += chunk.size() / 2;
        if (mixer_song_ended() && frames >= end) break;
    }
    const bool cut = !mixer_song_ended();
    music_unload();
    if (!wav_close(wav)) return report_failure(wav_path, "cannot write the file");
    if (cut)
        std::fprintf(
            stderr,
            "quibbet-xm: %s: the song does not come back to where it was; rendered its first %d minutes\n",
            module_path, SONG_LIMIT_MINUTES);
    return 0;
}
