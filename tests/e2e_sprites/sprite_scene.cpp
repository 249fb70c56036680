// A known arrangement of atlas sprites (plain, shrunk, magnified, rotated, overlapping, one
// with a missing image) drawn by the real renderer in a real window, for the screenshot test.
// The atlas is the game's image table filled with test colours, so the picture does not change
// when the art does: each rectangle is its own colour, with a white band along its top quarter
// and a black band down its left quarter (so a turn shows which way it went).
// Prints "ready" once a few frames are on screen, then redraws until closed or 120 s pass.
#include "assets/atlas_images.h"
#include "engine/atlas.h"
#include "engine/image_table.h"
#include "engine/sprite_pool.h"
#include "engine/sprite_renderer.h"
#include "platform/clock.h"
#include "platform/gl.h"
#include "platform/window.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <lodepng.h>
#include <vector>

namespace {

constexpr int SCREEN_WIDTH = 640, SCREEN_HEIGHT = 480;
constexpr int FRAMES_BEFORE_READY = 5;
constexpr int64_t LIFETIME_MS = 120'000;

bool closed = false;

std::array<uint8_t, 3> test_colour(int entry) {
    // Well apart from each other and from the white and black bands.
    return {static_cast<uint8_t>(60 + (entry * 67) % 160), static_cast<uint8_t>(60 + (entry * 131) % 160),
            static_cast<uint8_t>(60 + (entry * 29) % 160)};
}

std::vector<uint8_t> test_atlas_png() {
    std::vector<uint8_t> rgba(static_cast<size_t>(ATLAS_SIZE) * ATLAS_SIZE * 4, 0);
    for (int i = 0; i < ATLAS_IMAGE_COUNT; ++i) {
        const ImageRecord& r = atlas_images[i];
        const auto colour = test_colour(i + 1);
        for (int y = 0; y < r.packed_height; ++y) {
            for (int x = 0; x < r.packed_width; ++x) {
                uint8_t* p = &rgba[(static_cast<size_t>(r.atlas_y + y) * ATLAS_SIZE + r.atlas_x + x) * 4];
                const bool top = y < r.packed_height / 4, left = x < r.packed_width / 4;
                const uint8_t shade = top ? 255 : left ? 0 : 1;
                for (int c = 0; c < 3; ++c)
                    p[c] = shade == 1 ? colour[c] : shade;
                p[3] = 255;
            }
        }
    }
    unsigned char* png = nullptr;
    size_t size = 0;
    if (lodepng_encode32(&png, &size, rgba.data(), ATLAS_SIZE, ATLAS_SIZE) != 0) std::exit(2);
    std::vector<uint8_t> bytes(png, png + size);
    std::free(png);
    return bytes;
}

void place(const char* image, int x, int y, float scale, float rotation) {
    Sprite* s = sprite_new();
    s->visible = 1;
    s->image = image_find(image);
    s->x = x;
    s->y = y;
    s->scale = scale;
    s->rotation = rotation;
}

void arrange() {
    place("tile005.png", 20, 20, 1.0f, 0.0f);          // plain
    place("menubg.png", 100, 20, 1.0f, 0.0f);          // plain, no trimmed border
    place("tile005.png", 240, 20, 2.0f, 0.0f);         // magnified, with the faded margin
    place("player001.png", 400, 20, 2.0f, 90.0f);      // rotated a quarter clockwise
    place("scorebox.png", 480, 200, 1.0f, 45.0f);      // rotated an eighth
    place("tile001.png", 20, 300, 0.6f, 0.0f);         // shrunk
    place("abc.png", 560, 400, 1.0f, 0.0f);            // no such image: draws nothing
    place("qz5tree.png", 200, 250, 3.0f, 30.0f);       // big and turned
    place("scoreball24x24.png", 260, 300, 2.0f, 0.0f); // later in the pool, so drawn on top
}

void on_resize(int, int) {}
void on_close() {
    closed = true;
}
void on_key_down(int) {}
void on_button_down(int, uint16_t, uint16_t) {}

} // namespace

int main() {
    if (!platform_window_class_register({on_resize, on_close, on_key_down, on_button_down, nullptr, nullptr}))
        return 3;
    platform_window_create("sprites", false, SCREEN_WIDTH, SCREEN_HEIGHT, SHOW_DEFAULT);
    if (!platform_gl_context_create()) return 4;
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, SCREEN_WIDTH, SCREEN_HEIGHT, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    const int32_t atlas_entry = image_new();
    const std::vector<uint8_t> png = test_atlas_png();
    image_table[atlas_entry].texture_slot = atlas_load("", png.data(), png.size(), atlas_images);
    arrange();

    const int64_t start = platform_clock_ms();
    int frames = 0;
    int quit_code = 0;
    while (!closed && platform_clock_ms() - start < LIFETIME_MS) {
        if (platform_message_poll(&quit_code) != MessagePoll::none) continue;
        glClearColor(20 / 255.0f, 30 / 255.0f, 60 / 255.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        sprites_render();
        if (++frames == FRAMES_BEFORE_READY) {
            std::printf("ready\n");
            std::fflush(stdout);
        }
        platform_sleep_ms(10);
    }
    platform_teardown();
    return 0;
}
