// WAV files of 16-bit PCM. The writer streams: the header is written first with empty sizes and
// completed when the file is closed, so renders of any length never sit in memory. The reader
// takes a whole file, such as a render by this tool or by another player, into memory.
// Threads: one writer per thread.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct WavFile {
    std::FILE* file;
    uint32_t data_bytes;
    bool failed;
    std::unique_ptr<char[]> buffer; // the file's write buffer, kept until it is closed
};

// Null file (and failed) when it cannot be created.
WavFile wav_create(const char* path, int sample_rate, int channels);

void wav_append(WavFile& wav, std::span<const int16_t> samples);

// Completes the header and closes the file. False if anything could not be written.
bool wav_close(WavFile& wav);

struct WavAudio {
    int sample_rate = 0;
    int channels = 0;
    std::vector<int16_t> samples; // interleaved
};

// False, with the reason in `why`, when the file cannot be read or holds no 16-bit PCM.
bool wav_read(const char* path, WavAudio& audio, std::string& why);
