// WAV files: RIFF header, one "fmt " chunk for 16-bit PCM, one "data" chunk, little-endian.
#include "wav_file.h"

#include <algorithm>
#include <array>

namespace {
constexpr uint32_t HEADER_BYTES = 44;
constexpr uint32_t RIFF_SIZE_OFFSET = 4, DATA_SIZE_OFFSET = 40;
constexpr size_t BYTES_PER_SAMPLE = 2;
constexpr size_t APPEND_BLOCK_BYTES = 8192;

void put16(std::array<uint8_t, HEADER_BYTES>& h, size_t at, uint32_t v) {
    h[at] = static_cast<uint8_t>(v);
    h[at + 1] = static_cast<uint8_t>(v >> 8);
}

void put32(std::array<uint8_t, HEADER_BYTES>& h, size_t at, uint32_t v) {
    put16(h, at, v & 0xFFFF);
    put16(h, at + 2, v >> 16);
}

void put_tag(std::array<uint8_t, HEADER_BYTES>& h, size_t at, const char (&tag)[5]) {
    for (size_t i = 0; i < 4; ++i)
        h[at + i] = static_cast<uint8_t>(tag[i]);
}

bool write_size(std::FILE* file, long offset, uint32_t value) {
    const std::array<uint8_t, 4> bytes = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                          static_cast<uint8_t>(value >> 16),
                                          static_cast<uint8_t>(value >> 24)};
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fwrite(bytes.data(), 1, 4, file) == 4;
}
} // namespace

WavFile wav_create(const char* path, int sample_rate, int channels) {
    WavFile wav{std::fopen(path, "wb"), 0, false};
    if (!wav.file) {
        wav.failed = true;
        return wav;
    }
    const auto rate = static_cast<uint32_t>(sample_rate);
    const auto block = static_cast<uint32_t>(channels * static_cast<int>(BYTES_PER_SAMPLE));
    std::array<uint8_t, HEADER_BYTES> h{};
    put_tag(h, 0, "RIFF");
    put32(h, RIFF_SIZE_OFFSET, HEADER_BYTES - 8);
    put_tag(h, 8, "WAVE");
    put_tag(h, 12, "fmt ");
    put32(h, 16, 16);
    put16(h, 20, 1); // PCM
    put16(h, 22, static_cast<uint32_t>(channels));
    put32(h, 24, rate);
    put32(h, 28, rate * block);
    put16(h, 32, block);
    put16(h, 34, static_cast<uint32_t>(8 * BYTES_PER_SAMPLE));
    put_tag(h, 36, "data");
    put32(h, DATA_SIZE_OFFSET, 0);
    wav.failed = std::fwrite(h.data(), 1, h.size(), wav.file) != h.size();
    return wav;
}

void wav_append(WavFile& wav, std::span<const int16_t> samples) {
    std::array<uint8_t, APPEND_BLOCK_BYTES> bytes;
    while (!samples.empty() && wav.file && !wav.failed) {
        const size_t count = std::min(samples.size(), bytes.size() / BYTES_PER_SAMPLE);
        for (size_t i = 0; i < count; ++i) {
            const auto u = static_cast<uint16_t>(samples[i]);
            bytes[2 * i] = static_cast<uint8_t>(u);
            bytes[2 * i + 1] = static_cast<uint8_t>(u >> 8);
        }
        const size_t length = count * BYTES_PER_SAMPLE;
        wav.failed = std::fwrite(bytes.data(), 1, length, wav.file) != length;
        wav.data_bytes += static_cast<uint32_t>(length);
        samples = samples.subspan(count);
    }
}

bool wav_close(WavFile& wav) {
    if (!wav.file) return false;
    bool ok = !wav.failed && write_size(wav.file, RIFF_SIZE_OFFSET, HEADER_BYTES - 8 + wav.data_bytes) &&
              write_size(wav.file, DATA_SIZE_OFFSET, wav.data_bytes);
    ok = std::fclose(wav.file) == 0 && ok;
    wav.file = nullptr;
    return ok;
}
