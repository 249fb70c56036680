// The cloud that drifts behind every scene (drawn at scale 0.7) and the small score props:
// box, balls, pin and the brown stones.
#include "art.h"
#include "paint.h"

#include <algorithm>
#include <array>

namespace {

constexpr double TURN = 6.283185307179586;
constexpr Rgb BALL = rgb(250, 150, 40);
constexpr Rgb STONE = rgb(164, 104, 62);

struct Puff {
    double x, y, r;
};

// Big puffs on top, smaller ones along the bottom; together they stay inside the 713 x 325 box.
constexpr std::array<Puff, 12> CLOUD_PUFFS = {{{120, 214, 84},
                                               {232, 166, 112},
                                               {370, 140, 128},
                                               {512, 172, 108},
                                               {612, 222, 80},
                                               {90, 262, 46},
                                               {200, 246, 64},
                                               {330, 240, 74},
                                               {460, 242, 71},
                                               {560, 250, 58},
                                               {652, 262, 44},
                                               {300, 190, 90}}};

void cloud_path(cairo_t* cr) {
    cairo_new_path(cr);
    for (const Puff& p : CLOUD_PUFFS) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, p.x, p.y, p.r, 0, TURN);
    }
}

void ball(cairo_t* cr, double cx, double cy, double r, double line) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, TURN);
    fill_lit(cr, BALL, cx - r, cy - r, cx + r, cy + r);
    outline(cr, line);
    gloss(cr, cx, cy, r, r, 0.75);
}

} // namespace

void paint_cloud(cairo_t* cr) {
    constexpr double LINE = 5;
    // Outline the union of the puffs: stroke every circle at twice the width, then fill the
    // union over it so only the outer half of the outer edges stays.
    cloud_path(cr);
    set_colour(cr, mix(INK, SKY, 0.45));
    cairo_set_line_width(cr, 2 * LINE);
    cairo_stroke(cr);
    cloud_path(cr);
    set_colour(cr, WHITE);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_pattern_t* belly = cairo_pattern_create_linear(0, 150, 0, 320);
    cairo_pattern_add_color_stop_rgba(belly, 0, 0.78, 0.84, 0.95, 0);
    cairo_pattern_add_color_stop_rgba(belly, 1, 0.78, 0.84, 0.95, 1);
    cairo_set_source(cr, belly);
    cairo_paint(cr);
    cairo_pattern_destroy(belly);
    for (int i = 0; i < 5; ++i)
        gloss(cr, CLOUD_PUFFS[i].x, CLOUD_PUFFS[i].y, CLOUD_PUFFS[i].r, CLOUD_PUFFS[i].r, 0.9);
    cairo_restore(cr);
}

void paint_score_box(cairo_t* cr) {
    rounded_rect_path(cr, 12, 12, 51, 98, 7);
    fill_lit(cr, CREAM, 11, 11, 64, 111);
    outline(cr, 1.2);
    for (int i = 0; i < 4; ++i) {
        const double y = 27 + 22.0 * i;
        cairo_arc(cr, 24, y, 4, 0, TURN);
        fill_lit(cr, PLAYER_COLOURS[i], 20, y - 4, 28, y + 4);
        outline(cr, 1);
        rounded_rect_path(cr, 33.5, y - 7.5, 22, 15, 4);
        fill_lit(cr, darker(CREAM, 0.18), 56, y + 8, 33, y - 8);
        outline(cr, 1);
    }
}

void paint_ball_large(cairo_t* cr) {
    ball(cr, 12, 12, 10.8, 1.2);
}

void paint_ball_small(cairo_t* cr) {
    ball(cr, 6, 6, 4.3, 1);
}

void paint_score_pin(cairo_t* cr) {
    // Only 14 x 2 texels survive: a gold bar, lit on its upper row, with dark ends.
    cairo_rectangle(cr, 1, 1, 14, 1);
    set_colour(cr, lighter(GOLD, 0.3));
    cairo_fill(cr);
    cairo_rectangle(cr, 1, 2, 14, 1);
    set_colour(cr, darker(GOLD, 0.3));
    cairo_fill(cr);
    cairo_rectangle(cr, 1, 1, 1, 2);
    cairo_rectangle(cr, 14, 1, 1, 2);
    set_colour(cr, INK);
    cairo_fill(cr);
}

void paint_stone(cairo_t* cr, int width, int height) {
    const double radius = std::min(width, height) / 4.0;
    rounded_rect_path(cr, 0.5, 0.5, width - 1, height - 1, radius);
    fill_lit(cr, STONE, 0, 0, width, height);
    outline(cr, 1);
    gloss(cr, width / 2.0, height / 2.0, width / 2.0, height / 2.0, 0.35);
}
