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

// The inner loop alone: one voice at a steady volume on a looping sample, for the cost of a
// voice-frame that the song figure is made of.
void mix_one_steady_voice(benchmark::State& state) {
    constexpr int POINTS = 4096;
    std::vector<uint8_t> storage(sizeof(SampleRecord) + POINTS * sizeof(int16_t));
    auto* sample = reinterpret_cast<SampleRecord*>(storage.data());
    sample->length = sample->loop_length = POINTS;
    sample->loop_type = 1;
    int16_t* points = sample->data;
    for (int i = 0; i <= POINTS; ++i)
        points[i] = static_cast<int16_t>((i * 37) % 20000 - 10000);
    Voice voice{};
    voice.sample = sample;
    voice.step = (uint64_t{1} << 32) / 3; // a third of a point a frame
    voice.target_left = voice.target_right = 90;
    std::vector<int64_t> accumulator(CHUNK_FRAMES * 2);
    for (auto _ : state) {
        mix_voices(std::span<Voice>(&voice, 1), accumulator.data(), CHUNK_FRAMES);
        benchmark::DoNotOptimize(accumulator.data());
    }
    state.SetItemsProcessed(state.iterations() * CHUNK_FRAMES);
}
BENCHMARK(mix_one_steady_voice)->Unit(benchmark::kMicrosecond);

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
