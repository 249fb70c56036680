// Paints every image of the atlas table at its full size, cuts out its packed rectangle and
// places it in a 1024 x 1024 straight-RGBA atlas; everything else stays R = G = B = A = 0.
// Refuses an image whose painting spills outside its packed rectangle, since the game would
// never see that part. Single-threaded; output is the same on every run.
#pragma once
#include "assets/image_record.h"

#include <cstdint>
#include <string>
#include <vector>

struct FullImage {
    int width = 0, height = 0;
    std::vector<uint32_t> argb; // Cairo's premultiplied words, row by row
};

// The image painted at its full size; empty (width 0) when the atlas has no painter for it.
FullImage render_full_image(const ImageRecord& record);

// Texels with any coverage outside the record's packed rectangle.
int texels_outside_packed(const FullImage& image, const ImageRecord& record);

// The whole atlas as ATLAS_SIZE * ATLAS_SIZE * 4 bytes, or an empty vector with `error` set.
std::vector<uint8_t> atlas_compose(std::string& error);
