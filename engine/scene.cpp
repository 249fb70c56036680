#include "engine/scene.h"

#include "engine/input_events.h"
#include "engine/sprite_pool.h"

#include <cstring>

namespace {
// The scenes that build their own sprites drop them on leaving.
void restore_sprite_mark() { sprite_count = sprite_scene_mark; }
} // namespace

// The game installs the enter and update callbacks of its scenes (scene_install).
std::array<Scene, SCENE_COUNT> scene_table = {{
    {"debug", nullptr, nullptr, nullptr},
    {"intro", nullptr, nullptr, restore_sprite_mark},
    {"logo", nullptr, nullptr, restore_sprite_mark},
    {"gameplay", nullptr, nullptr, nullptr},
    {"credits", nullptr, nullptr, restore_sprite_mark},
}};
int32_t current_scene = -1;
int32_t skip_next_enter = 0;
int32_t sprite_scene_mark = 0;

void scene_install(const char* name, void (*enter)(), void (*update)()) {
    for (Scene& s : scene_table) {
        if (std::strncmp(s.name, name, SCENE_NAME_LENGTH) != 0) continue;
        s.enter = enter;
        s.update = update;
    }
}

void scene_enter(const char* name) {
    for (int i = 0; i < SCENE_COUNT; ++i) {
        const Scene& next = scene_table[i];
        if (std::strncmp(next.name, name, SCENE_NAME_LENGTH) != 0) continue;
        if (current_scene != -1 && scene_table[current_scene].exit) scene_table[current_scene].exit();
        if (next.enter && skip_next_enter == 0) next.enter();
        skip_next_enter = 0;
        current_scene = i;
    }
}

void scene_dispatch() {
    const int32_t previous = current_scene;
    if (previous >= 0 && scene_table[previous].update) scene_table[previous].update();
    if (current_scene != previous) {
        scene_dispatch();
        return; // the inner dispatch has emptied the queue
    }
    while (event_next()) {
    }
}
