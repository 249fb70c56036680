// The 43 images of the embedded atlas, in table order (image entries 1 to 43 once loaded). The
// digit "scorechar7.png" came last, so every image before it kept its index.
#pragma once
#include "assets/image_record.h"

#include <array>

constexpr int ATLAS_IMAGE_COUNT = 43;
constexpr int ATLAS_SIZE = 1024;

extern const std::array<ImageRecord, ATLAS_IMAGE_COUNT> atlas_images;
