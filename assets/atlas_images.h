// The 42 images of the embedded atlas, in table order (image entries 1 to 42 once loaded).
#pragma once
#include "assets/image_record.h"

#include <array>

constexpr int ATLAS_IMAGE_COUNT = 42;
constexpr int ATLAS_SIZE = 1024;

extern const std::array<ImageRecord, ATLAS_IMAGE_COUNT> atlas_images;
