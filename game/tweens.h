// Tweens: the per-tick motion of sprites. An active tween adds fixed amounts to its sprite's
// position, scale and rotation once a tick for a number of ticks, may reverse once on the way,
// keeps a sprite that grows or shrinks centred on its image box, and may hide it at the end.
// The players' slides, the winner pulse, the countdown overlays and the clouds all move so.
// Limits: TWEEN_TABLE_SIZE entries; finished entries are reused, lowest first. When every entry
// is active (only a very long stay in a scene that does not step them gets there), a new tween
// takes the entry nearest its end and finishes that tween on the spot, so a request is never
// refused and no motion is left half-applied with its sprite shown when it should be hidden.
// Main thread only.
#pragma once
#include "engine/sprite_pool.h"

#include <array>
#include <cstdint>

constexpr int TWEEN_TABLE_SIZE = 1200;
constexpr int32_t TWEEN_FREE = 0;
constexpr int32_t TWEEN_ACTIVE = 2;

struct Tween {
    int32_t used;         // TWEEN_FREE or TWEEN_ACTIVE
    Sprite* sprite;       // the sprite it drives; not owned, never null while active
    float x, y;           // its own position; the sprite gets it truncated
    float scale;          // current scale
    float base_scale;     // the sprite's scale when the tween began
    float rotation;       // degrees
    int32_t frames_left;  // ticks still to run
    int32_t turn_at;      // when frames_left falls to this, dx, dy and dscale reverse once
    float dx, dy, dscale; // change per tick
    float drot;           // degrees per tick; 0 leaves the sprite's rotation alone
    int32_t hide_at_end;  // non-zero: the sprite is hidden when the tween ends
};

extern std::array<Tween, TWEEN_TABLE_SIZE> tween_table;
extern int32_t tween_count; // entries taken so far, counted from 0; never shrinks

// Starts a tween on sprite, filled from the sprite with every motion 0; the caller then sets
// frames_left and the motion it wants. Never null.
Tween* tween_add(Sprite* sprite);

// Advances every active tween by one tick, in table order: of several tweens on one sprite,
// the last one written wins.
void tweens_step();
