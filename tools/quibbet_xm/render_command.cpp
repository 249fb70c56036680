// quibbet-xm render: the player's chunk mixer, run as fast as it goes, straight into a WAV file,
// at the loudest music level (the game's). The file ends with the fade of the song's last notes; a
// song that never comes back to a played row is cut after SONG_LIMIT_MINUTES. Prints the length and
// the loudness of what it wrote: the peak and the RMS over both channels, in dB of full scale.
#include "audio/music/mixer.h"
#include "wav_file.h"
#include "xm_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr uint64_t RENDER_LIMIT_CHUNKS = uint64_t{SONG_LIMIT_MINUTES} * 60 * OUTPUT_RATE / CHUNK_FRAMES;
constexpr double FULL_SCALE = 32768.0;

// Whole numbers throughout: exact for the longest render (2^30 a sample at most), and free of the
// chain of floating-point additions that would cost as much as the mixing.
struct Loudness {
    int peak = 0;
    uint64_t power = 0;
    uint64_t samples = 0;
    void add(std::span<const int16_t> chunk) {
        for (int16_t v : chunk) {
            const int32_t x = v;
            peak = std::max(peak, std::abs(x));
            power += static_cast<uint64_t>(x * x);
        }
        samples += chunk.size();
    }
};

// dB of full scale; silence reads as -inf.
double dbfs(double amplitude) {
    return 20 * std::log10(amplitude / FULL_SCALE);
}
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
    Loudness loudness;
    uint64_t frames = 0;
    while (mixer.chunks_mixed < RENDER_LIMIT_CHUNKS) {
        mix_chunk();
        std::span<const int16_t> chunk = last_chunk();
        const uint64_t end = mixer.song_frames + RAMP_FRAMES; // once the song has ended
        if (mixer_song_ended()) chunk = chunk.first(2 * std::min<uint64_t>(end - frames, CHUNK_FRAMES));
        wav_append(wav, chunk);
        loudness.add(chunk);
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
    const double rms =
        loudness.samples ? std::sqrt(static_cast<double>(loudness.power) / static_cast<double>(loudness.samples)) : 0;
    std::printf("%s: %.3f s, peak %.1f dBFS, RMS %.1f dBFS\n", wav_path,
                static_cast<double>(frames) / OUTPUT_RATE, dbfs(loudness.peak), dbfs(rms));
    return 0;
}
