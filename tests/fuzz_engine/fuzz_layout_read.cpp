// Arbitrary bytes as a sprite layout, read onto the start-up image table, then the batch built
// from the sprites it made (wild positions, NaN scales and rotations included).
#include "assets/atlas_images.h"
#include "engine/image_table.h"
#include "engine/layout_records.h"
#include "engine/sprite_pool.h"
#include "engine/sprite_quad.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (image_count == 0) {
        image_new(); // the atlas entry
        std::copy(atlas_images.begin(), atlas_images.end(), image_table.begin() + 1);
        image_count = 1 + ATLAS_IMAGE_COUNT;
    }
    // Half the runs start near the top of the pool so the full-pool path is exercised.
    sprite_count = size % 2 ? SPRITE_POOL_SIZE - 3 : 0;
    const int32_t before = sprite_count;
    layout_read({data, size});
    const int32_t placements_possible = static_cast<int32_t>(size / LAYOUT_RECORD_SIZE);
    if (sprite_count < before || sprite_count - before > placements_possible ||
        sprite_count > SPRITE_POOL_SIZE)
        std::abort();
    const int32_t vertices = sprite_batch_build(ATLAS_SIZE);
    if (vertices % VERTICES_PER_SPRITE != 0 || vertices > sprite_count * VERTICES_PER_SPRITE) std::abort();
    return 0;
}
