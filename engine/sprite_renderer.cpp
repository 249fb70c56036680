#include "engine/sprite_renderer.h"

#include "engine/image_table.h"
#include "engine/sprite_quad.h"
#include "platform/gl.h"
#include "platform/window.h"

namespace {

// The atlas slot named by image entry 0, or null before the atlas is loaded.
const TextureSlot* atlas_slot() {
    if (image_count < 1) return nullptr;
    const int32_t slot = image_table[0].texture_slot;
    if (slot < 0 || slot >= texture_slot_count) return nullptr;
    return &texture_slots[slot];
}

} // namespace

void sprites_render(int32_t first) {
    const TextureSlot* atlas = atlas_slot();
    if (atlas) {
        glBindTexture(GL_TEXTURE_2D, atlas->gl_name);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_TEXTURE_2D);
        const int32_t vertices = sprite_batch_build(static_cast<float>(atlas->width), first);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glVertexPointer(POSITION_FLOATS, GL_FLOAT, 0, sprite_batch.positions.data());
        glTexCoordPointer(TEXCOORD_FLOATS, GL_FLOAT, 0, sprite_batch.texcoords.data());
        glEnable(GL_TEXTURE_2D);
        glDrawArrays(GL_TRIANGLES, 0, vertices);
    }
    platform_swap_buffers();
}
