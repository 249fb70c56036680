#include "app/app.h"

#include "app/frame_timer.h"
#include "app/viewport.h"
#include "assets/atlas_images.h"
#include "assets/embedded.h"
#include "engine/atlas.h"
#include "engine/fatal_hook.h"
#include "engine/image_table.h"
#include "engine/scene.h"
#include "game/game_init.h"

namespace {

constexpr const char* ATLAS_ASSET = "atlas.png";
// Only read when the atlas is not embedded, which ends in the decoder's "cannot open" box.
constexpr const char* ATLAS_FILE_NAME = "noname.dat";

// Image entry 0 stands for the atlas itself; every sprite is drawn from its texture slot.
void atlas_init() {
    const int32_t atlas_entry = image_new();
    const EmbeddedAsset* atlas = embedded_asset_find(ATLAS_ASSET);
    const int32_t slot =
        atlas_load(ATLAS_FILE_NAME, atlas ? atlas->data : nullptr, atlas ? atlas->size : 0, atlas_images);
    if (atlas_entry >= 0) image_table[atlas_entry].texture_slot = slot;
}

} // namespace

const char* first_scene = "intro";

void engine_init() {
    engine_fatal_handler = fatal_error; // decoding failures end through the app's error box
    display_configure();
    atlas_init();
    game_init();
    tick_period = TICK_PERIOD_MS;
    scene_enter(first_scene);
}
