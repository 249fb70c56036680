#include "engine/layout_records.h"

#include "engine/image_table.h"
#include "engine/sprite_pool.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

uint32_t read_u32_le(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Only the first 31 characters count: the last byte of the name field ends the name.
int32_t image_of(const LayoutRecord& r) {
    std::array<char, sizeof r.payload> name{};
    const auto* end = std::find(std::begin(r.payload), std::end(r.payload), 0);
    std::copy(std::begin(r.payload), end, name.begin());
    name.back() = '\0';
    return image_find(name.data());
}

void place(const LayoutRecord& r, int32_t image) {
    Sprite* s = sprite_new();
    if (!s) return;
    s->visible = 1;
    s->x = static_cast<int32_t>(read_u32_le(r.payload + 0));
    s->y = static_cast<int32_t>(read_u32_le(r.payload + 4));
    s->scale = std::bit_cast<float>(read_u32_le(r.payload + 8));
    s->rotation = std::bit_cast<float>(read_u32_le(r.payload + 12));
    s->image = image;
}

} // namespace

void layout_read(std::span<const uint8_t> data) {
    int32_t image = 0; // the atlas entry: an empty rectangle until an image record names one
    for (size_t at = 0; data.size() - at >= LAYOUT_RECORD_SIZE; at += LAYOUT_RECORD_SIZE) {
        LayoutRecord r;
        std::memcpy(&r, data.data() + at, LAYOUT_RECORD_SIZE);
        if (r.type == LAYOUT_IMAGE) image = image_of(r);
        if (r.type == LAYOUT_PLACEMENT) place(r, image);
    }
}
