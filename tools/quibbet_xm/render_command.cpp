// quibbet-xm render: the player's chunk mixer, run as fast as it goes, straight into a WAV file,
// at the loudest music level (the game's). Prints the length and the loudness of what it wrote: the
// peak and the RMS over both channels, in dB of full scale. A song that jumps back on itself forever
// is cut after RENDER_LIMIT_MINUTES.
#include "audio/music/mixer.h"
#include "wav_file.h"
#include "xm_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int RENDER_LIMIT_MINUTES = 30;
constexpr uint64_t RENDER_LIMIT_CHUNKS = uint64_t{RENDER_LIMIT_MINUTES} * 60 * OUTPUT_RATE / CHUNK_FRAMES;
constexpr double FULL_SCALE = 32768.0;

struct Loudness {
    int peak = 0;
    double power = 0;
    uint64_t samples = 0;
    void add(std::span<const int16_t> chunk) {
        for (int16_t v : chunk) {
            peak = std::max(peak, std::abs(static_cast<int>(v)));
            power += static_cast<double>(v) * v;
        }
        samples += chunk.size();
    }
};

// dB of full scale; silence reads as -inf.
double dbfs(double amplitude) {
    return 20 * std::log10(amplitude / FULL_SCALE);
}
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
    Loudness loudness;
    while (!mixer_song_done() && mixer.chunks_mixed < RENDER_LIMIT_CHUNKS) {
        mix_chunk();
        wav_append(wav, last_chunk());
        loudness.add(last_chunk());
    }
    const bool cut = !mixer_song_done();
    music_unload();
    if (!wav_close(wav)) return report_failure(wav_path, "cannot write the file");
    if (cut)
        std::fprintf(stderr, "quibbet-xm: %s: the song does not end; rendered its first %d minutes\n",
                     module_path, RENDER_LIMIT_MINUTES);
    const double rms =
        loudness.samples ? std::sqrt(loudness.power / static_cast<double>(loudness.samples)) : 0;
    std::printf("%s: %.3f s, peak %.1f dBFS, RMS %.1f dBFS\n", wav_path,
                static_cast<double>(loudness.samples / 2) / OUTPUT_RATE, dbfs(loudness.peak), dbfs(rms));
    return 0;
}
