// Named scenes: a fixed table of five, switched by name, the current one run once per tick.
// Main thread only.
#pragma once
#include <array>
#include <cstdint>

constexpr int SCENE_NAME_LENGTH = 20;
constexpr int SCENE_COUNT = 5;

struct Scene {
    char name[SCENE_NAME_LENGTH]; // NUL-padded, compared over at most 20 characters
    void (*enter)();
    void (*update)();
    void (*exit)();
};

extern std::array<Scene, SCENE_COUNT> scene_table;
extern int32_t current_scene;     // -1 before the first switch
extern int32_t skip_next_enter;   // set: the next switch runs no enter
extern int32_t sprite_scene_mark; // sprite_count saved by the scenes that build their own sprites

// Called by the game at start-up: gives the named scene its enter and update.
void scene_install(const char* name, void (*enter)(), void (*update)());

// Switches to the scene of that name; an unknown name changes nothing.
void scene_enter(const char* name);
// Runs the current scene's update for one tick, then empties the event queue.
void scene_dispatch();
