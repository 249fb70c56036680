#include "engine/sprite_quad.h"
#include "engine/sprite_renderer.h"
#include "engine_fixture.h"

#include <GL/gl.h>
#include <cmath>
#include <limits>

namespace {

constexpr float W = ATLAS_SIZE;
constexpr int TILE005 = 9;

class SpriteRenderTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        load_start_up_atlas();
    }

    static Sprite* add(int x, int y, int image, float scale = 1.0f, float rotation = 0.0f) {
        Sprite* s = sprite_new();
        s->visible = 1;
        s->x = x;
        s->y = y;
        s->image = image;
        s->scale = scale;
        s->rotation = rotation;
        return s;
    }

    static SpriteQuad quad_of(const Sprite& s) { return sprite_quad(s, image_table[s.image], W); }
};

void expect_box(const SpriteQuad& q, float left, float top, float right, float bottom) {
    EXPECT_FLOAT_EQ(q.x[0], left);
    EXPECT_FLOAT_EQ(q.y[0], top);
    EXPECT_FLOAT_EQ(q.x[1], right);
    EXPECT_FLOAT_EQ(q.y[1], top);
    EXPECT_FLOAT_EQ(q.x[2], left);
    EXPECT_FLOAT_EQ(q.y[2], bottom);
    EXPECT_FLOAT_EQ(q.x[3], right);
    EXPECT_FLOAT_EQ(q.y[3], bottom);
}

void expect_window(const SpriteQuad& q, float u_left, float v_top, float u_right, float v_bottom) {
    EXPECT_FLOAT_EQ(q.u_left, u_left / W);
    EXPECT_FLOAT_EQ(q.v_top, v_top / W);
    EXPECT_FLOAT_EQ(q.u_right, u_right / W);
    EXPECT_FLOAT_EQ(q.v_bottom, v_bottom / W);
}

TEST_F(SpriteRenderTest, NaturalSizeDrawsThePackedRectangleWithoutMargin) {
    const SpriteQuad q = quad_of(*add(100, 50, TILE005));
    expect_box(q, 102, 53, 162, 111);
    expect_window(q, 838, 328, 898, 386);
}

TEST_F(SpriteRenderTest, MagnifiedTakesInTheTransparentBorder) {
    const SpriteQuad doubled = quad_of(*add(100, 50, TILE005, 2.0f));
    expect_box(doubled, 102, 54, 226, 174);
    expect_window(doubled, 837, 327, 899, 387);

    // The margin starts just above natural size.
    const SpriteQuad barely = quad_of(*add(100, 50, TILE005, 1.0001f));
    expect_window(barely, 837, 327, 899, 387);
    EXPECT_NEAR(barely.x[0], 100 + 1.0001f * 1, 1e-4);

    // Shrunk and NaN scales take no margin.
    expect_window(quad_of(*add(100, 50, TILE005, 0.4f)), 838, 328, 898, 386);
    expect_window(quad_of(*add(100, 50, TILE005, std::numeric_limits<float>::quiet_NaN())), 838, 328, 898,
                  386);
}

TEST_F(SpriteRenderTest, RotatedQuadTurnsClockwiseAboutTheSqueezedCentre) {
    const SpriteQuad q = quad_of(*add(100, 50, TILE005, 1.0f, 90.0f));
    // hw 30, hh 29, centre (131, 81); top-left (-30, -29) turns to (+29, -30).
    EXPECT_NEAR(q.x[0], 160, 1e-4);
    EXPECT_NEAR(q.y[0], 51, 1e-4);
    EXPECT_NEAR(q.x[1], 160, 1e-4); // top-right (30, -29) -> (29, 30)
    EXPECT_NEAR(q.y[1], 111, 1e-4);
    EXPECT_NEAR(q.x[2], 102, 1e-4); // bottom-left (-30, 29) -> (-29, -30)
    EXPECT_NEAR(q.y[2], 51, 1e-4);
    EXPECT_NEAR(q.x[3], 102, 1e-4);
    EXPECT_NEAR(q.y[3], 111, 1e-4);
    expect_window(q, 837, 327, 899, 387); // always with the border, even at scale 1

    // A full turn is not "exactly 0": it takes the rotated path, squeezed and shifted.
    const SpriteQuad full_turn = quad_of(*add(100, 50, TILE005, 1.0f, 360.0f));
    EXPECT_NEAR(full_turn.x[0], 101, 1e-3);
    EXPECT_NEAR(full_turn.y[0], 52, 1e-3);
    EXPECT_NEAR(full_turn.x[3], 161, 1e-3);
    EXPECT_NEAR(full_turn.y[3], 110, 1e-3);

    // Scale applies to the corners and the centre's offset alike.
    const SpriteQuad scaled = quad_of(*add(0, 0, TILE005, 2.0f, 180.0f));
    EXPECT_NEAR(scaled.x[0], 2 * 31 + 2 * 30, 1e-3);
    EXPECT_NEAR(scaled.y[0], 2 * 31 + 2 * 29, 1e-3);
}

TEST_F(SpriteRenderTest, PassBindsTheAtlasBlendsAndDrawsOnceThenSwaps) {
    add(100, 50, TILE005);
    add(10, 10, 1, 1.0f, 45.0f);
    sprites_render();
    const VirtualGl& gl = virtual_gl();
    EXPECT_EQ(gl.bound_texture, texture_slots[0].gl_name);
    EXPECT_TRUE(gl.blend);
    EXPECT_EQ(gl.blend_src, GL_SRC_ALPHA);
    EXPECT_EQ(gl.blend_dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(gl.texture_2d);
    EXPECT_TRUE(gl.vertex_array);
    EXPECT_TRUE(gl.texcoord_array);
    EXPECT_FALSE(gl.color_array);
    EXPECT_EQ(gl.vertex_size, 3);
    EXPECT_EQ(gl.texcoord_size, 2);
    EXPECT_EQ(gl.draw_calls, 1);
    EXPECT_EQ(gl.last_draw_mode, GL_TRIANGLES);
    EXPECT_EQ(gl.last_draw_first, 0);
    EXPECT_EQ(gl.last_draw_count, 12);
    EXPECT_EQ(virtual_platform().swap_count, 1);

    // Six vertices in corner order TL, TR, BL, TR, BL, BR, each with z = 0.
    const float expected_xy[6][2] = {{102, 53}, {162, 53}, {102, 111}, {162, 53}, {102, 111}, {162, 111}};
    const float expected_uv[6][2] = {{838, 328}, {898, 328}, {838, 386}, {898, 328}, {838, 386}, {898, 386}};
    for (int v = 0; v < 6; ++v) {
        EXPECT_FLOAT_EQ(gl.vertex_pointer[3 * v + 0], expected_xy[v][0]) << v;
        EXPECT_FLOAT_EQ(gl.vertex_pointer[3 * v + 1], expected_xy[v][1]) << v;
        EXPECT_EQ(gl.vertex_pointer[3 * v + 2], 0.0f) << v;
        EXPECT_FLOAT_EQ(gl.texcoord_pointer[2 * v + 0], expected_uv[v][0] / W) << v;
        EXPECT_FLOAT_EQ(gl.texcoord_pointer[2 * v + 1], expected_uv[v][1] / W) << v;
    }
    EXPECT_EQ(sprite_batch.position_count, 12 * 3);
    EXPECT_EQ(sprite_batch.texcoord_count, 12 * 2);
}

TEST_F(SpriteRenderTest, OnlyUsedVisibleSpritesWithValidImagesAreDrawnInPoolOrder) {
    add(0, 0, -1);                   // a failed image_find
    add(0, 0, image_count);          // one past the table
    add(0, 0, 1 << 30);              // far outside
    add(0, 0, TILE005)->visible = 0; // hidden
    add(0, 0, TILE005)->used = 0;    // never handed out
    add(0, 0, 0);                    // the atlas entry: valid, an empty rectangle
    add(7, 0, TILE005);
    add(9, 0, 1);
    EXPECT_EQ(sprite_batch_build(W), 18);
    // Pool order: the empty atlas-entry quad, then the tile, then the cloud.
    EXPECT_FLOAT_EQ(sprite_batch.positions[6 * 3], 7 + 2);
    EXPECT_FLOAT_EQ(sprite_batch.positions[12 * 3], 9);
    EXPECT_FLOAT_EQ(sprite_batch.positions[0], 0);
    EXPECT_FLOAT_EQ(sprite_batch.positions[3], 0); // zero-wide
}

TEST_F(SpriteRenderTest, EmptyPoolStillSwapsAndLoweringTheCountHidesAtOnce) {
    sprites_render();
    EXPECT_EQ(virtual_gl().last_draw_count, 0);
    EXPECT_EQ(virtual_platform().swap_count, 1);

    add(1, 2, TILE005);
    add(3, 4, TILE005, 0.5f, 30.0f);
    sprites_render();
    EXPECT_EQ(virtual_gl().last_draw_count, 12);
    sprite_count = 1;
    sprites_render();
    EXPECT_EQ(virtual_gl().last_draw_count, 6);
    EXPECT_EQ(virtual_gl().draw_calls, 3);

    // The dropped entry comes back unchanged, visible included.
    const Sprite* again = sprite_new();
    EXPECT_EQ(again, &sprite_pool[1]);
    EXPECT_EQ(again->visible, 1);
    EXPECT_EQ(again->x, 3);
    EXPECT_EQ(again->rotation, 30.0f);
    sprites_render();
    EXPECT_EQ(virtual_gl().last_draw_count, 12);
}

TEST_F(SpriteRenderTest, BeforeAnAtlasExistsThePassOnlySwaps) {
    image_count = 0;
    add(0, 0, 0);
    sprites_render();
    image_count = 1;
    image_table[0].texture_slot = -1; // the atlas failed to find a slot
    sprites_render();
    EXPECT_EQ(virtual_gl().draw_calls, 0);
    EXPECT_EQ(virtual_platform().swap_count, 2);
}

TEST_F(SpriteRenderTest, PoolTakesExactly5000) {
    sprite_count = SPRITE_POOL_SIZE - 1;
    Sprite* last = sprite_new();
    ASSERT_EQ(last, &sprite_pool[SPRITE_POOL_SIZE - 1]);
    EXPECT_EQ(last->used, 1);
    EXPECT_EQ(sprite_new(), nullptr);
    EXPECT_EQ(sprite_count, SPRITE_POOL_SIZE);
}

TEST_F(SpriteRenderTest, FullPoolFitsTheArraysAndACorruptCountReadsNothingBeyond) {
    for (int i = 0; i < SPRITE_POOL_SIZE; ++i)
        add(i % 640, i % 480, 1 + i % ATLAS_IMAGE_COUNT, 1.5f, i % 4 ? 0.0f : 33.0f);
    EXPECT_EQ(sprite_batch_build(W), SPRITE_POOL_SIZE * 6);
    sprite_count = SPRITE_POOL_SIZE + 100;
    EXPECT_EQ(sprite_batch_build(W), SPRITE_POOL_SIZE * 6);
    sprite_count = -5;
    EXPECT_EQ(sprite_batch_build(W), 0);
}

} // namespace
