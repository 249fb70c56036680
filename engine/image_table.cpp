#include "engine/image_table.h"

#include <cstring>

std::array<ImageRecord, IMAGE_TABLE_SIZE> image_table;
int32_t image_count;
std::array<TextureSlot, TEXTURE_SLOT_COUNT> texture_slots;
int32_t texture_slot_count;

int32_t image_new() {
    if (image_count >= IMAGE_TABLE_SIZE) return -1;
    image_table[image_count].used = 1;
    return image_count++;
}

int32_t texture_slot_new() {
    if (texture_slot_count >= TEXTURE_SLOT_COUNT) return -1;
    texture_slots[texture_slot_count].used = 1;
    return texture_slot_count++;
}

int32_t image_find(const char* name) {
    if (!name) return -1;
    for (int32_t i = 0; i < image_count; ++i) {
        if (std::strncmp(image_table[i].name, name, IMAGE_NAME_LENGTH) == 0) return i;
    }
    return -1;
}
