// Empties the engine's tables (images, texture slots, sprites, queued input) between tests, as a
// fresh process would have them.
#pragma once
#include "engine/atlas.h"
#include "engine/image_table.h"
#include "engine/input_events.h"
#include "engine/sprite_pool.h"

inline void engine_tables_clear() {
    image_table = {};
    image_count = 0;
    texture_slots = {};
    texture_slot_count = 0;
    sprite_pool = {};
    sprite_count = 0;
    event_queue = {};
}
