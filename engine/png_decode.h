// PNG decoding into a block of 8-bit RGBA pixels. A PNG that cannot be decoded ends the
// program through engine_fatal with caption "lodepng" and the decoder's own message.
// Limits: at most PNG_MAX_PIXELS pixels, so a forged header cannot demand gigabytes.
// Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

constexpr int64_t PNG_MAX_PIXELS = 4096 * 4096;
constexpr size_t PIXEL_BLOCK_HEADER = 8;

// Width and height, then width x height x 4 bytes: rows top to bottom, each pixel R, G, B, A.
struct PixelBlock {
    int32_t width;
    int32_t height;
};
static_assert(sizeof(PixelBlock) == PIXEL_BLOCK_HEADER);

struct PixelBlockFree {
    void operator()(PixelBlock* block) const;
};
using PixelBlockPtr = std::unique_ptr<PixelBlock, PixelBlockFree>;

inline const uint8_t* pixel_block_pixels(const PixelBlock* block) {
    return reinterpret_cast<const uint8_t*>(block) + PIXEL_BLOCK_HEADER;
}

// Decodes size bytes at data; when size is 0 the file of that name is decoded instead.
// Never returns null: every failure is fatal.
PixelBlockPtr png_decode(const char* file_name, const uint8_t* data, size_t size);
