#include "engine/png_decode.h"
#include "engine_fixture.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

using PngDecodeTest = EngineTest;

// 3 x 2 pixels, all different, so a swapped channel, row or column shows.
const std::vector<uint8_t> SMALL_RGBA = {10,  20,  30,  40,  50,  60,  70,  80,  90,  100, 110, 120,
                                         130, 140, 150, 160, 170, 180, 190, 200, 210, 220, 230, 0};

// The decoder's own verdict on some bytes, for comparing messages.
unsigned decoder_error(const std::vector<uint8_t>& bytes) {
    unsigned char* out = nullptr;
    unsigned w = 0, h = 0;
    const unsigned error = lodepng_decode32(&out, &w, &h, bytes.data(), bytes.size());
    std::free(out);
    return error;
}

// Expects decode to end the process through the "lodepng" error box with status 1.
void expect_fatal(const std::function<void()>& decode, const std::string& text) {
    virtual_platform_reset();
    try {
        decode();
        ADD_FAILURE() << "decoding returned";
    } catch (const VirtualExit& e) {
        EXPECT_EQ(e.status, 1);
    }
    ASSERT_EQ(virtual_platform().error_boxes.size(), 1u);
    EXPECT_EQ(virtual_platform().error_boxes[0].caption, "lodepng");
    EXPECT_EQ(virtual_platform().error_boxes[0].text, text);
}

TEST_F(PngDecodeTest, BlockHoldsSizeThenRowsTopToBottomInRgbaOrder) {
    const auto png = encode_png(SMALL_RGBA, 3, 2);
    const PixelBlockPtr block = png_decode("noname.dat", png.data(), png.size());
    EXPECT_EQ(block->width, 3);
    EXPECT_EQ(block->height, 2);
    const uint8_t* pixels = pixel_block_pixels(block.get());
    EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + SMALL_RGBA.size()), SMALL_RGBA);

    // Size 0 reads the named file instead.
    const auto path = std::filesystem::temp_directory_path() / ("engine_png_" + std::to_string(::getpid()));
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
    const PixelBlockPtr from_file = png_decode(path.c_str(), nullptr, 0);
    std::filesystem::remove(path);
    EXPECT_EQ(pixel_block_pixels(from_file.get())[4 * 5 + 2], 230);
}

TEST_F(PngDecodeTest, BrokenPngsEndWithTheDecodersMessageAndStatusZero) {
    const auto good = encode_png(SMALL_RGBA, 3, 2);
    auto truncated = std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2);
    auto bad_signature = good;
    bad_signature[1] = 'X';
    auto bad_crc = good;
    bad_crc[29] ^= 0xff; // the header chunk's checksum
    auto not_png = std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'};
    for (const auto* bytes : {&truncated, &bad_signature, &bad_crc, &not_png}) {
        const unsigned code = decoder_error(*bytes);
        ASSERT_NE(code, 0u);
        expect_fatal([&] { png_decode("noname.dat", bytes->data(), bytes->size()); },
                     lodepng_error_text(code));
    }
    expect_fatal([] { png_decode("/nonexistent/noname.dat", nullptr, 0); }, lodepng_error_text(78));
    // A broken atlas takes no slot and no entries.
    expect_fatal([&] { atlas_load("", not_png.data(), not_png.size(), atlas_images); },
                 lodepng_error_text(decoder_error(not_png)));
    EXPECT_EQ(texture_slot_count, 0);
    EXPECT_EQ(image_count, 0);
}

TEST_F(PngDecodeTest, HeaderAskingForAHugeImageIsRefusedBeforeDecoding) {
    // A valid 1 x 1 PNG whose header then claims 30000 x 30000: the decoder would reserve
    // gigabytes from the header alone.
    auto png = encode_png({1, 2, 3, 4}, 1, 1);
    const uint8_t huge[8] = {0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30};
    std::memcpy(png.data() + 16, huge, sizeof huge);
    lodepng_chunk_generate_crc(png.data() + 8);
    expect_fatal([&] { png_decode("noname.dat", png.data(), png.size()); }, "image too large");
}

struct HandlerCalled {
    std::string caption, text;
};

TEST_F(PngDecodeTest, InstalledHandlerReceivesTheFailureInsteadOfTheBuiltInBox) {
    engine_fatal_handler = [](const char* caption, const char* text) { throw HandlerCalled{caption, text}; };
    const std::vector<uint8_t> not_png = {1, 2, 3};
    try {
        png_decode("noname.dat", not_png.data(), not_png.size());
        FAIL() << "decoding returned";
    } catch (const HandlerCalled& h) {
        EXPECT_EQ(h.caption, "lodepng");
        EXPECT_EQ(h.text, lodepng_error_text(decoder_error(not_png)));
    }
    EXPECT_TRUE(virtual_platform().error_boxes.empty());
}

} // namespace
