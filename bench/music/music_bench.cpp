// Music player speed: mixing the 16-channel test song chunk by chunk (reported as seconds of
// music per second, i.e. multiples of real time on one core) and loading it from memory.
#include "audio/music/mixer.h"
#include "music_mixer/demo_song.h"

#include <benchmark/benchmark.h>

namespace {
void mix_chunks_of_a_16_channel_song(benchmark::State& state) {
    const std::vector<uint8_t> file = demo::file();
    music_set_volume(MUSIC_VOLUME_LEVELS - 1);
    if (!music_load(file.data(), file.size(), MUSIC_FROM_MEMORY | MUSIC_LOOP)) {
        state.SkipWithError("the test song does not load");
        return;
    }
    for (auto _ : state) {
        mix_chunk();
        benchmark::DoNotOptimize(mixer.ring.data());
    }
    music_unload();
    const double seconds_of_music = static_cast<double>(state.iterations()) * CHUNK_FRAMES / OUTPUT_RATE;
    state.counters["x_real_time"] = benchmark::Counter(seconds_of_music, benchmark::Counter::kIsRate);
}
BENCHMARK(mix_chunks_of_a_16_channel_song)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

void load_the_16_channel_song(benchmark::State& state) {
    const std::vector<uint8_t> file = demo::file();
    state.SetLabel(std::to_string(file.size()) + " bytes");
    for (auto _ : state) {
        benchmark::DoNotOptimize(music_load(file.data(), file.size(), MUSIC_FROM_MEMORY));
        music_unload();
    }
}
BENCHMARK(load_the_16_channel_song)->Unit(benchmark::kMicrosecond);
} // namespace
