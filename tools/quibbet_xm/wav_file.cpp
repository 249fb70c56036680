// WAV files: RIFF header, one "fmt " chunk for 16-bit PCM, one "data" chunk, little-endian.
#include "wav_file.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {
constexpr uint32_t HEADER_BYTES = 44;
constexpr uint32_t RIFF_SIZE_OFFSET = 4, DATA_SIZE_OFFSET = 40;
constexpr size_t BYTES_PER_SAMPLE = 2;
constexpr size_t APPEND_BLOCK_BYTES = 8192;
// A render writes tens of megabytes: large writes keep the system calls from costing more than
// the mixing.
constexpr size_t WRITE_BUFFER_BYTES = size_t{1} << 20;

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

uint32_t get_le(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

bool write_size(std::FILE* file, long offset, uint32_t value) {
    const std::array<uint8_t, 4> bytes = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                          static_cast<uint8_t>(value >> 16),
                                          static_cast<uint8_t>(value >> 24)};
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fwrite(bytes.data(), 1, 4, file) == 4;
}
} // namespace

WavFile wav_create(const char* path, int sample_rate, int channels) {
    WavFile wav{std::fopen(path, "wb"), 0, false, nullptr};
    if (!wav.file) {
        wav.failed = true;
        return wav;
    }
    wav.buffer = std::make_unique_for_overwrite<char[]>(WRITE_BUFFER_BYTES);
    std::setvbuf(wav.file, wav.buffer.get(), _IOFBF, WRITE_BUFFER_BYTES);
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

bool wav_read(const char* path, WavAudio& audio, std::string& why) {
    constexpr size_t RIFF_HEADER = 12, CHUNK_HEADER = 8, FORMAT_BYTES = 16;
    constexpr uint32_t FORMAT_PCM = 1, FORMAT_EXTENSIBLE = 0xFFFE;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        why = "cannot open the file";
        return false;
    }
    std::vector<uint8_t> bytes;
    std::array<uint8_t, APPEND_BLOCK_BYTES> block;
    for (size_t n; (n = std::fread(block.data(), 1, block.size(), f)) > 0;)
        bytes.insert(bytes.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
    std::fclose(f);
    const uint8_t* data = bytes.data();
    if (bytes.size() < RIFF_HEADER || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "WAVE", 4) != 0) {
        why = "not a WAV file";
        return false;
    }
    audio = {};
    for (size_t at = RIFF_HEADER; at + CHUNK_HEADER <= bytes.size();) {
        const size_t size = get_le(data + at + 4, 4);
        const uint8_t* body = data + at + CHUNK_HEADER;
        const size_t available = std::min(size, bytes.size() - at - CHUNK_HEADER);
        if (std::memcmp(data + at, "fmt ", 4) == 0 && available >= FORMAT_BYTES) {
            const uint32_t format = get_le(body, 2);
            if ((format != FORMAT_PCM && format != FORMAT_EXTENSIBLE) || get_le(body + 14, 2) != 16) {
                why = "not 16-bit PCM";
                return false;
            }
            audio.channels = static_cast<int>(get_le(body + 2, 2));
            audio.sample_rate = static_cast<int>(get_le(body + 4, 4));
        } else if (std::memcmp(data + at, "data", 4) == 0 && audio.channels > 0 && audio.sample_rate > 0) {
            audio.samples.resize(available / BYTES_PER_SAMPLE);
            for (size_t i = 0; i < audio.samples.size(); ++i)
                audio.samples[i] = static_cast<int16_t>(get_le(body + BYTES_PER_SAMPLE * i, 2));
            return true;
        }
        at += CHUNK_HEADER + size + (size & 1);
    }
    why = "no sound data";
    return false;
}
