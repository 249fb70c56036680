// Music player speed, with every kernel set this processor runs: mixing the 16-channel test song
// chunk by chunk (seconds of music per second of CPU, i.e. multiples of real time on one core),
// the cost of one voice-frame at a steady and at a ramping volume, and loading the song.
// QUIBBET_BENCH_MODULES=DIR adds every .xm file in DIR, mixed as a looping song.
#include "audio/music/mixer.h"
#include "music_mixer/demo_song.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {
void report_real_time(benchmark::State& state) {
    const double seconds_of_music = static_cast<double>(state.iterations()) * CHUNK_FRAMES / OUTPUT_RATE;
    state.counters["x_real_time"] = benchmark::Counter(seconds_of_music, benchmark::Counter::kIsRate);
}

void mix_song(benchmark::State& state, const MixKernels* kernels, const std::vector<uint8_t>& file) {
    mixer_use_kernels(*kernels);
    music_set_volume(MUSIC_VOLUME_LEVELS - 1);
    if (!music_load(file.data(), file.size(), MUSIC_FROM_MEMORY | MUSIC_LOOP)) {
        state.SkipWithError("the song does not load");
        return;
    }
    for (auto _ : state) {
        mix_chunk();
        benchmark::DoNotOptimize(mixer.ring.data());
    }
    music_unload();
    report_real_time(state);
}

// One voice on a looping sample, a third of a point a frame; a ramping one gets new targets every
// ramp, so it never settles.
void mix_one_voice(benchmark::State& state, const MixKernels* kernels, bool ramping) {
    mixer_use_kernels(*kernels);
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
    voice.step = (uint64_t{1} << 32) / 3;
    voice.target_left = voice.target_right = 90;
    std::vector<int64_t> accumulator(CHUNK_FRAMES * 2);
    const int slice = ramping ? RAMP_FRAMES : CHUNK_FRAMES;
    for (auto _ : state) {
        for (int done = 0; done < CHUNK_FRAMES; done += slice) {
            if (ramping) voice.target_left = voice.target_right = 127 - voice.target_left;
            mix_voices(std::span<Voice>(&voice, 1), accumulator.data() + 2 * done, slice);
        }
        benchmark::DoNotOptimize(accumulator.data());
    }
    state.counters["time_per_voice_frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * CHUNK_FRAMES,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void load_the_16_channel_song(benchmark::State& state) {
    const std::vector<uint8_t> file = demo::file();
    state.SetLabel(std::to_string(file.size()) + " bytes");
    for (auto _ : state) {
        benchmark::DoNotOptimize(music_load(file.data(), file.size(), MUSIC_FROM_MEMORY));
        music_unload();
    }
}
BENCHMARK(load_the_16_channel_song)->Unit(benchmark::kMicrosecond);

std::vector<std::pair<std::string, std::vector<uint8_t>>> songs() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> list = {{"16_channel_test_song", demo::file()}};
    const char* directory = std::getenv("QUIBBET_BENCH_MODULES");
    if (!directory) return list;
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        if (entry.path().extension() == ".xm") paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        list.emplace_back(path.stem().string(), std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                                                     std::istreambuf_iterator<char>()));
    }
    return list;
}

const bool registered = [] {
    for (const MixKernels* kernels : mix_kernels_usable()) {
        const std::string suffix = std::string("/") + kernels->name;
        for (bool ramping : {false, true})
            benchmark::RegisterBenchmark(
                (std::string(ramping ? "mix_one_ramping_voice" : "mix_one_steady_voice") + suffix).c_str(),
                mix_one_voice, kernels, ramping)
                ->Unit(benchmark::kMicrosecond);
        for (const auto& [name, file] : songs())
            benchmark::RegisterBenchmark(("mix_" + name + suffix).c_str(), mix_song, kernels, file)
                ->Unit(benchmark::kMicrosecond)
                ->MinTime(1.0);
    }
    return true;
}();
} // namespace
