// Arbitrary bytes as an embedded PNG: decoding either yields a consistent pixel block or ends
// in the fatal path with the decoder's message, which here throws instead of exiting.
#include "engine/fatal_hook.h"
#include "engine/png_decode.h"

#include <cstdlib>
#include <cstring>

namespace {

struct DecodeFailed {};

[[noreturn]] void throw_failure(const char* caption, const char* text) {
    if (std::strcmp(caption, "lodepng") != 0 || text == nullptr || text[0] == '\0') std::abort();
    throw DecodeFailed{};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0; // size 0 means "read the named file", not bytes
    engine_fatal_handler = throw_failure;
    try {
        const PixelBlockPtr block = png_decode("unused", data, size);
        if (block->width <= 0 || block->height <= 0) std::abort();
        if (static_cast<int64_t>(block->width) * block->height > PNG_MAX_PIXELS) std::abort();
        // Touch the last pixel: the block must hold every row.
        const size_t last = static_cast<size_t>(block->width) * block->height * 4 - 1;
        volatile uint8_t sink = pixel_block_pixels(block.get())[last];
        (void)sink;
    } catch (const DecodeFailed&) {
    }
    return 0;
}
