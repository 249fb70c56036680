// song_chart: draws the picture of the song for docs/: the form, the waveform, the loudness second
// by second and a spectrogram on a pitch scale, from a render of the module.
//   song_chart RENDER.wav CHART.png
// The render is a 16-bit PCM WAV file such as `quibbet-xm render` writes.
#include "chart.h"
#include "wav_file.h"

#include <cstdio>
#include <string>

namespace {
// The render as one mono signal in -1..1.
bool read_render(const char* path, Render& render, std::string& why) {
    WavAudio audio;
    if (!wav_read(path, audio, why)) return false;
    const size_t frames = audio.samples.size() / static_cast<size_t>(audio.channels);
    render.rate = static_cast<unsigned>(audio.sample_rate);
    render.mono.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        double sum = 0;
        for (int c = 0; c < audio.channels; ++c)
            sum += audio.samples[i * static_cast<size_t>(audio.channels) + static_cast<size_t>(c)];
        render.mono[i] = sum / audio.channels / 32768.0;
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: song_chart RENDER.wav CHART.png\n", stderr);
        return 2;
    }
    Render render;
    std::string why;
    if (!read_render(argv[1], render, why)) {
        std::fprintf(stderr, "song_chart: %s: %s\n", argv[1], why.c_str());
        return 1;
    }
    if (!draw_chart(render, argv[2])) {
        std::fprintf(stderr, "song_chart: %s: cannot write the picture\n", argv[2]);
        return 1;
    }
    return 0;
}
