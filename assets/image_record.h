// One named image of a texture atlas: its packed rectangle and the size it had before its
// empty borders were cut.
#pragma once
#include <cstdint>

constexpr int IMAGE_NAME_LENGTH = 32;

struct ImageRecord {
    int32_t used;
    int32_t texture_slot;
    int32_t atlas_x, atlas_y;   // top-left texel of the packed rectangle, y down from the top row
    int32_t offset_x, offset_y; // where the packed part lies inside the full image
    int32_t packed_width, packed_height;
    char name[IMAGE_NAME_LENGTH]; // NUL-padded
    int32_t width, height;        // full image size
};
