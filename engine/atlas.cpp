#include "engine/atlas.h"

#include "engine/image_table.h"
#include "engine/png_decode.h"
#include "platform/gl.h"

#include <algorithm>

int32_t atlas_load(const char* file_name, const uint8_t* data, size_t size,
                   std::span<const ImageRecord> records) {
    // Checked up front: a full table must not leave a texture without records, nor a slot
    // index of -1 to be written through.
    if (texture_slot_count >= TEXTURE_SLOT_COUNT) return -1;
    if (records.size() > static_cast<size_t>(IMAGE_TABLE_SIZE - image_count)) return -1;

    const PixelBlockPtr block = png_decode(file_name, data, size);
    const int32_t slot_index = texture_slot_new();
    TextureSlot& slot = texture_slots[slot_index];
    GLuint name = 0;
    glGenTextures(1, &name);
    slot.gl_name = name;
    glBindTexture(GL_TEXTURE_2D, name);
    slot.width = block->width;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, block->width, block->height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixel_block_pixels(block.get()));

    auto* first = image_table.begin() + image_count;
    std::copy(records.begin(), records.end(), first);
    std::for_each(first, first + records.size(),
                  [slot_index](ImageRecord& r) { r.texture_slot = slot_index; });
    image_count += static_cast<int32_t>(records.size());
    return slot_index;
}
