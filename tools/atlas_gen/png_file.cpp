#include "png_file.h"

#include <lodepng.h>

bool png_write_rgba(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height,
                    std::string& error) {
    lodepng::State state;
    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 8;
    state.info_png.color.colortype = LCT_RGBA;
    state.info_png.color.bitdepth = 8;
    state.encoder.auto_convert = 0;
    std::vector<unsigned char> png;
    unsigned code =
        lodepng::encode(png, rgba, static_cast<unsigned>(width), static_cast<unsigned>(height), state);
    if (code == 0) code = lodepng::save_file(png, path);
    if (code != 0) {
        error = path + ": " + lodepng_error_text(code);
        return false;
    }
    return true;
}
