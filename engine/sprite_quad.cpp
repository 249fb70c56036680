#include "engine/sprite_quad.h"

#include "engine/image_table.h"

#include <algorithm>
#include <cmath>

SpriteBatch sprite_batch;

namespace {

constexpr double PI = 3.141592653589793;

// Every atlas rectangle has a transparent one-texel border; drawing it too lets linear
// filtering fade a magnified or rotated sprite's edge out instead of cutting it hard.
constexpr int BORDER = 1;

void set_window(SpriteQuad& q, const ImageRecord& img, int margin, float atlas_width) {
    q.u_left = static_cast<float>(img.atlas_x - margin) / atlas_width;
    q.v_top = static_cast<float>(img.atlas_y - margin) / atlas_width;
    q.u_right = q.u_left + static_cast<float>(img.packed_width + 2 * margin) / atlas_width;
    q.v_bottom = q.v_top + static_cast<float>(img.packed_height + 2 * margin) / atlas_width;
}

SpriteQuad axis_aligned_quad(const Sprite& s, const ImageRecord& img, float atlas_width) {
    const int margin = s.scale > 1.0f ? BORDER : 0; // false for NaN too
    SpriteQuad q;
    const float left = s.scale * static_cast<float>(img.offset_x - margin) + static_cast<float>(s.x);
    const float top = s.scale * static_cast<float>(img.offset_y - margin) + static_cast<float>(s.y);
    const float right = left + s.scale * static_cast<float>(img.packed_width + 2 * margin);
    const float bottom = top + s.scale * static_cast<float>(img.packed_height + 2 * margin);
    q.x = {left, right, left, right};
    q.y = {top, top, bottom, bottom};
    set_window(q, img, margin, atlas_width);
    return q;
}

// The quad is the packed size while the window includes the border, so a rotated sprite is
// squeezed by two texels and its centre sits a texel up and left; the look of the game
// depends on that.
SpriteQuad rotated_quad(const Sprite& s, const ImageRecord& img, float atlas_width) {
    const int hw = img.packed_width / 2;
    const int hh = img.packed_height / 2;
    const float cx = static_cast<float>(s.x) + s.scale * static_cast<float>(img.offset_x - BORDER + hw);
    const float cy = static_cast<float>(s.y) + s.scale * static_cast<float>(img.offset_y - BORDER + hh);
    const double a = static_cast<double>(s.rotation) * PI / 180.0;
    const double c = std::cos(a), sn = std::sin(a);
    const std::array<int, 4> local_x = {-hw, hw, -hw, hw};
    const std::array<int, 4> local_y = {-hh, -hh, hh, hh};
    SpriteQuad q;
    for (int i = 0; i < 4; ++i) {
        const double dx = static_cast<double>(static_cast<float>(local_x[i]) * s.scale);
        const double dy = static_cast<double>(static_cast<float>(local_y[i]) * s.scale);
        q.x[i] = static_cast<float>(cx + dx * c - dy * sn);
        q.y[i] = static_cast<float>(cy + dx * sn + dy * c);
    }
    set_window(q, img, BORDER, atlas_width);
    return q;
}

void emit_vertex(float*& position, float*& texcoord, float x, float y, float u, float v) {
    position[0] = x;
    position[1] = y;
    position[2] = 0.0f;
    position += POSITION_FLOATS;
    texcoord[0] = u;
    texcoord[1] = v;
    texcoord += TEXCOORD_FLOATS;
}

// Two triangles: top-left, top-right, bottom-left, then top-right, bottom-left, bottom-right.
void emit_quad(float*& position, float*& texcoord, const SpriteQuad& q) {
    emit_vertex(position, texcoord, q.x[0], q.y[0], q.u_left, q.v_top);
    emit_vertex(position, texcoord, q.x[1], q.y[1], q.u_right, q.v_top);
    emit_vertex(position, texcoord, q.x[2], q.y[2], q.u_left, q.v_bottom);
    emit_vertex(position, texcoord, q.x[1], q.y[1], q.u_right, q.v_top);
    emit_vertex(position, texcoord, q.x[2], q.y[2], q.u_left, q.v_bottom);
    emit_vertex(position, texcoord, q.x[3], q.y[3], q.u_right, q.v_bottom);
}

SpriteQuad quad_of(const Sprite& s, const ImageRecord& img, float atlas_width) {
    return s.rotation == 0.0f ? axis_aligned_quad(s, img, atlas_width) : rotated_quad(s, img, atlas_width);
}

} // namespace

SpriteQuad sprite_quad(const Sprite& s, const ImageRecord& img, float atlas_width) {
    return quad_of(s, img, atlas_width);
}

int32_t sprite_batch_build(float atlas_width, int32_t first) {
    float* position = sprite_batch.positions.data();
    float* texcoord = sprite_batch.texcoords.data();
    const int32_t count = std::min(sprite_count, static_cast<int32_t>(SPRITE_POOL_SIZE));
    for (int32_t i = std::max(first, 0); i < count; ++i) {
        const Sprite& s = sprite_pool[i];
        if (!s.used || !s.visible) continue;
        const ImageRecord* img = image_at(s.image);
        if (!img) continue;
        emit_quad(position, texcoord, quad_of(s, *img, atlas_width));
    }
    sprite_batch.position_count = static_cast<int32_t>(position - sprite_batch.positions.data());
    sprite_batch.texcoord_count = static_cast<int32_t>(texcoord - sprite_batch.texcoords.data());
    return sprite_batch.position_count / POSITION_FLOATS;
}
