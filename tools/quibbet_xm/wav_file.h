// A streaming WAV writer for 16-bit PCM: the header is written first with empty sizes and
// completed when the file is closed, so renders of any length never sit in memory.
// Threads: one writer per thread.
#pragma once
#include <cstdint>
#include <cstdio>
#include <span>

struct WavFile {
    std::FILE* file;
    uint32_t data_bytes;
    bool failed;
};

// Null file (and failed) when it cannot be created.
WavFile wav_create(const char* path, int sample_rate, int channels);

void wav_append(WavFile& wav, std::span<const int16_t> samples);

// Completes the header and closes the file. False if anything could not be written.
bool wav_close(WavFile& wav);
