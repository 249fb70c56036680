// The letterbox arithmetic and the GL state it sets.
#include "app/viewport.h"
#include "platform/gl.h"
#include "virtual_gl.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    int window_w, window_h;
    Viewport expected;
};

TEST(Viewport, LetterboxForCommonClientSizes) {
    const Case cases[] = {
        {1280, 720, {160, 0, 960, 720, 1120, 720}},
        {1920, 1080, {240, 0, 1440, 1080, 1680, 1080}},
        {1366, 768, {171, 0, 1024, 768, 1195, 768}},
        {1280, 1024, {0, 32, 1280, 960, 1280, 992}},
        {800, 600, {0, 0, 800, 600, 800, 600}},
        {0, 0, {0, 0, 0, 0, 0, 0}},
        {1000, 480, {180, 0, 640, 480, 820, 480}},
    };
    for (const Case& c : cases) {
        const Viewport v = viewport_compute(c.window_w, c.window_h, 640, 480);
        SCOPED_TRACE(testing::Message() << c.window_w << " x " << c.window_h);
        EXPECT_EQ(v.left, c.expected.left);
        EXPECT_EQ(v.top, c.expected.top);
        EXPECT_EQ(v.width, c.expected.width);
        EXPECT_EQ(v.height, c.expected.height);
        EXPECT_EQ(v.right, c.expected.right);
        EXPECT_EQ(v.bottom, c.expected.bottom);
    }
}

TEST(Viewport, UpdateSetsViewportScissorAndVirtualProjection) {
    virtual_gl_reset();
    window_width = 1366;
    window_height = 768;
    display_configure();
    const VirtualGl& gl = virtual_gl();
    EXPECT_EQ(virtual_width, 640);
    EXPECT_EQ(virtual_height, 480);
    const int expected[4] = {171, 0, 1024, 768};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(gl.viewport[i], expected[i]);
        EXPECT_EQ(gl.scissor[i], expected[i]);
    }
    EXPECT_TRUE(gl.scissor_test);
    EXPECT_EQ(gl.matrix_mode, GL_PROJECTION);
    // Virtual (0, 0) at the top-left, (640, 480) at the bottom-right.
    const double ortho[6] = {0, 640, 480, 0, -1, 1};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(gl.ortho[i], ortho[i]);
}

TEST(Viewport, BeforeConfigurationTheWindowIsTheScreen) {
    virtual_gl_reset();
    virtual_width = virtual_height = 0;
    window_width = 1264;
    window_height = 681;
    viewport_update();
    const VirtualGl& gl = virtual_gl();
    EXPECT_EQ(gl.viewport[2], 1264);
    EXPECT_EQ(gl.viewport[3], 681);
    EXPECT_EQ(gl.ortho[1], 1264);
    EXPECT_EQ(gl.ortho[2], 681);
}

} // namespace
