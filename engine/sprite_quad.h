// The arithmetic of the sprite batch, kept apart from GL so tests and benchmarks run it
// without a context: one sprite's quad and texture window, and the whole pool's vertex and
// texture-coordinate arrays (six vertices per sprite, static, sized for the full pool).
// Main thread only.
#pragma once
#include "assets/image_record.h"
#include "engine/sprite_pool.h"

#include <array>
#include <cstdint>

constexpr int VERTICES_PER_SPRITE = 6;
constexpr int POSITION_FLOATS = 3; // x, y, z
constexpr int TEXCOORD_FLOATS = 2; // u, v

// Corners in the order top-left, top-right, bottom-left, bottom-right (before rotation).
struct SpriteQuad {
    std::array<float, 4> x, y;
    float u_left, v_top, u_right, v_bottom;
};

// The quad of sprite s drawing image img from an atlas atlas_width texels wide.
SpriteQuad sprite_quad(const Sprite& s, const ImageRecord& img, float atlas_width);

struct SpriteBatch {
    std::array<float, SPRITE_POOL_SIZE * VERTICES_PER_SPRITE * POSITION_FLOATS> positions;
    std::array<float, SPRITE_POOL_SIZE * VERTICES_PER_SPRITE * TEXCOORD_FLOATS> texcoords;
    int32_t position_count; // floats written this pass
    int32_t texcoord_count;
};

extern SpriteBatch sprite_batch;

// Rebuilds sprite_batch from every used, visible sprite from `first` to below sprite_count whose
// image is an entry of the image table, in pool order. Returns the number of vertices.
int32_t sprite_batch_build(float atlas_width, int32_t first = 0);
