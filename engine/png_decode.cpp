#include "engine/png_decode.h"

#include "engine/fatal_hook.h"

#include <cstdlib>
#include <cstring>
#include <lodepng.h>

namespace {

// The decoder's code for an allocation that failed; its message fits our own failure too.
constexpr unsigned LODEPNG_ALLOCATION_FAILED = 83;

[[noreturn]] void decode_failed(unsigned code) {
    engine_fatal("lodepng", lodepng_error_text(code));
}

// The decoder sizes its buffers from the header before it looks at the data, so the header
// is checked first. A header it cannot read is left for the decoder to report.
bool header_within_limit(const uint8_t* data, size_t size) {
    LodePNGState state;
    lodepng_state_init(&state);
    unsigned width = 0, height = 0;
    const unsigned error = lodepng_inspect(&width, &height, &state, data, size);
    lodepng_state_cleanup(&state);
    return error != 0 || static_cast<int64_t>(width) * height <= PNG_MAX_PIXELS;
}

PixelBlockPtr decode_memory(const uint8_t* data, size_t size) {
    if (!header_within_limit(data, size)) engine_fatal("lodepng", "image too large");
    unsigned char* pixels = nullptr;
    unsigned width = 0, height = 0;
    const unsigned error = lodepng_decode32(&pixels, &width, &height, data, size);
    if (error) {
        std::free(pixels);
        decode_failed(error);
    }
    const size_t pixel_bytes = static_cast<size_t>(width) * height * 4;
    auto* block = static_cast<PixelBlock*>(std::malloc(pixel_bytes + PIXEL_BLOCK_HEADER));
    if (!block) {
        std::free(pixels);
        decode_failed(LODEPNG_ALLOCATION_FAILED);
    }
    block->width = static_cast<int32_t>(width);
    block->height = static_cast<int32_t>(height);
    std::memcpy(reinterpret_cast<uint8_t*>(block) + PIXEL_BLOCK_HEADER, pixels, pixel_bytes);
    std::free(pixels);
    return PixelBlockPtr(block);
}

} // namespace

void PixelBlockFree::operator()(PixelBlock* block) const {
    std::free(block);
}

PixelBlockPtr png_decode(const char* file_name, const uint8_t* data, size_t size) {
    if (size != 0) return decode_memory(data, size);
    unsigned char* file = nullptr;
    size_t file_size = 0;
    const unsigned error = lodepng_load_file(&file, &file_size, file_name ? file_name : "");
    if (error) {
        std::free(file);
        decode_failed(error);
    }
    // The handler may leave by throwing (tests, fuzzing); the file buffer must not leak then.
    const std::unique_ptr<unsigned char, decltype(&std::free)> owned(file, &std::free);
    return decode_memory(file, file_size);
}
