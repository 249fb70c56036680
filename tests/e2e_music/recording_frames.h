// Sound files as the recording checks read them: 16-bit stereo frames, left and right sample in
// one word, from a WAV render (after its header) or a raw recording.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

using Frame = uint32_t;

constexpr size_t WAV_HEADER_BYTES = 44;

inline std::vector<Frame> read_frames(const char* path, size_t skip) {
    std::vector<Frame> frames;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return frames;
    std::fseek(f, static_cast<long>(skip), SEEK_SET);
    uint8_t b[4];
    while (std::fread(b, 1, 4, f) == 4)
        frames.push_back(static_cast<Frame>(b[0] | b[1] << 8 | b[2] << 16) | static_cast<Frame>(b[3]) << 24);
    std::fclose(f);
    return frames;
}

// The first frame that is not silence, or -1.
inline long first_sound(const std::vector<Frame>& x) {
    for (size_t i = 0; i < x.size(); ++i)
        if (x[i] != 0) return static_cast<long>(i);
    return -1;
}
