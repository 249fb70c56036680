// Loads the committed atlas once for the tests that read its texels.
#pragma once
#include "assets/atlas_images.h"

#include <lodepng.h>

#include <cstdint>
#include <vector>

struct DecodedAtlas {
    unsigned error = 1;
    unsigned width = 0, height = 0;
    std::vector<unsigned char> file;
    std::vector<unsigned char> rgba;

    const unsigned char* texel(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

inline const DecodedAtlas& committed_atlas() {
    static const DecodedAtlas atlas = [] {
        DecodedAtlas a;
        if (lodepng::load_file(a.file, ATLAS_PNG) == 0)
            a.error = lodepng::decode(a.rgba, a.width, a.height, a.file);
        return a;
    }();
    return atlas;
}

inline const ImageRecord& record_named(const char* name) {
    for (const ImageRecord& r : atlas_images)
        if (std::string_view(r.name) == name) return r;
    return atlas_images[0];
}
