// The image table (named rectangles of the atlas) and the texture slots holding the GL
// textures they lie in. Both fill once at start-up and are never released. Main thread only.
#pragma once
#include "assets/image_record.h"

#include <array>
#include <cstdint>

constexpr int IMAGE_TABLE_SIZE = 1000;
constexpr int TEXTURE_SLOT_COUNT = 20;

struct TextureSlot {
    int32_t used;
    uint32_t gl_name; // the GL texture object
    int32_t width;    // texels; the atlas is square, so this scales both texture coordinates
};
static_assert(sizeof(TextureSlot) == 12);
static_assert(sizeof(ImageRecord) == 8 * 4 + IMAGE_NAME_LENGTH + 2 * 4);

extern std::array<ImageRecord, IMAGE_TABLE_SIZE> image_table;
extern int32_t image_count;
extern std::array<TextureSlot, TEXTURE_SLOT_COUNT> texture_slots;
extern int32_t texture_slot_count;

// Takes the next entry (used = 1, other fields as they were); -1 when the table is full.
int32_t image_new();
// The same for texture slots.
int32_t texture_slot_new();
// Lowest index whose name equals name over at most 32 bytes, case-sensitive; -1 when none.
int32_t image_find(const char* name);
// The entry at index, or null when index is not an entry of the table (-1 from a failed find).
inline const ImageRecord* image_at(int32_t index) {
    return index >= 0 && index < image_count ? &image_table[index] : nullptr;
}
