// Board tiles and the four players. Shown at scale 0.6 (about 38 pixels) over the sky blue, so
// shapes are bold and outlines 2 to 2.5 pixels wide. Tiles show their thickness as a darker band
// along the bottom, which keeps the light coming from the top left on every piece.
#include "art.h"
#include "paint.h"

#include <array>

namespace {

constexpr double TILE_LINE = 2.4;
constexpr Rgb STEEL = rgb(150, 164, 186);
constexpr Rgb ICE = rgb(176, 230, 248);
constexpr Rgb ICE_SIDE = rgb(104, 170, 214);

void grass_tuft(cairo_t* cr, double x, double y, double size) {
    cairo_move_to(cr, x - size, y - size * 0.9);
    cairo_line_to(cr, x, y);
    cairo_line_to(cr, x + size * 0.3, y - size * 1.3);
    cairo_line_to(cr, x + size * 0.6, y);
    cairo_line_to(cr, x + size * 1.4, y - size * 0.8);
}

void stroke_tufts(cairo_t* cr, const double* xy, int count, double size, Rgb colour) {
    cairo_new_path(cr);
    for (int i = 0; i < count; ++i)
        grass_tuft(cr, xy[2 * i], xy[2 * i + 1], size);
    set_colour(cr, colour);
    cairo_set_line_width(cr, 1.3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void pebble(cairo_t* cr, double x, double y, double r, Rgb colour) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0, 6.283185307179586);
    set_colour(cr, colour);
    cairo_fill(cr);
}

void crack(cairo_t* cr, const double* xy, int points, double width, Rgb colour = INK) {
    cairo_new_path(cr);
    cairo_move_to(cr, xy[0], xy[1]);
    for (int i = 1; i < points; ++i)
        cairo_line_to(cr, xy[2 * i], xy[2 * i + 1]);
    set_colour(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

// One piece of a worn slab: earth body, and a turf cap over its upper part.
void slab_piece(cairo_t* cr, const double* body, int body_points, const double* cap, int cap_points, Rgb turf,
                double x0, double y0, double x1, double y1) {
    cairo_new_path(cr);
    polygon_path(cr, body, body_points);
    fill_lit(cr, EARTH, x0, y0, x1, y1);
    outline(cr, TILE_LINE);
    if (cap_points > 0) {
        cairo_new_path(cr);
        polygon_path(cr, cap, cap_points);
        fill_lit(cr, turf, x0, y0, x1, y1);
        outline(cr, TILE_LINE);
    }
}

} // namespace

void paint_tile_whole(cairo_t* cr) {
    rounded_rect_path(cr, 3.5, 3.5, 58, 56, 8);
    fill_lit(cr, EARTH, 3, 3, 62, 60);
    outline(cr, TILE_LINE);
    rounded_rect_path(cr, 3.5, 3.5, 58, 46, 8);
    fill_lit(cr, TURF, 3, 3, 62, 50);
    outline(cr, TILE_LINE);
    gloss(cr, 32, 26, 26, 20, 0.35);
    constexpr std::array<double, 14> tufts = {14, 18, 30, 14, 46, 20, 20, 34, 38, 30, 52, 40, 12, 44};
    stroke_tufts(cr, tufts.data(), 7, 3, darker(TURF, 0.3));
    pebble(cr, 14, 55, 1.6, lighter(EARTH, 0.35));
    pebble(cr, 33, 56, 1.3, lighter(EARTH, 0.35));
    pebble(cr, 50, 54.5, 1.8, lighter(EARTH, 0.35));
}

void paint_tile_chipped(cairo_t* cr) {
    constexpr std::array<double, 32> body = {10, 9.5,  30,  8.5,  34,  11.5, 38,   8.5, 55,   9.5, 56.5,
                                             20, 54,   24,  56.5, 28,  56,   55.5, 36,  55.5, 32,  52,
                                             28, 55.5, 9.5, 55.5, 8.5, 38,   11,   34,  8.5,  30};
    constexpr std::array<double, 32> cap = {10, 9.5,  30,  8.5,  34,  11.5, 38,   8.5, 55,   9.5, 56.5,
                                            20, 54,   24,  56.5, 28,  56,   45.5, 41,  46.5, 37,  43,
                                            31, 46.5, 9.5, 45.5, 8.5, 38,   11,   34,  8.5,  30};
    const Rgb worn = mix(TURF, EARTH, 0.25);
    slab_piece(cr, body.data(), 16, cap.data(), 16, worn, 8, 8, 57, 56);
    // Bare patches and cracks show the slab has been walked on.
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, 21, 30);
    cairo_scale(cr, 5.5, 3.2);
    cairo_arc(cr, 0, 0, 1, 0, 6.283185307179586);
    cairo_restore(cr);
    set_colour(cr, lighter(EARTH, 0.1));
    cairo_fill_preserve(cr);
    outline(cr, 1.2);
    constexpr std::array<double, 8> crack_a = {34, 11.5, 30.5, 20, 35, 27, 29.5, 37};
    constexpr std::array<double, 6> crack_b = {54, 24, 46, 27.5, 43.5, 34};
    constexpr std::array<double, 6> crack_c = {8.8, 38, 14, 40, 15, 44};
    crack(cr, crack_a.data(), 4, 1.6);
    crack(cr, crack_b.data(), 3, 1.6);
    crack(cr, crack_c.data(), 3, 1.3);
    constexpr std::array<double, 6> tufts = {17, 18, 44, 17, 48, 38};
    stroke_tufts(cr, tufts.data(), 3, 2.6, darker(worn, 0.3));
    pebble(cr, 18, 51, 1.4, lighter(EARTH, 0.35));
    pebble(cr, 45, 51.5, 1.6, lighter(EARTH, 0.35));
}

void paint_tile_rubble(cairo_t* cr) {
    const Rgb worn = mix(TURF, EARTH, 0.4);
    constexpr std::array<double, 10> a_body = {15.5, 16.5, 30.5, 15, 33, 24, 28, 31.5, 15.5, 30};
    constexpr std::array<double, 8> a_cap = {15.5, 16.5, 30.5, 15, 31.8, 20, 15.5, 22.5};
    constexpr std::array<double, 10> b_body = {36, 15.5, 50.5, 17, 51, 31, 40, 33, 36.5, 25};
    constexpr std::array<double, 14> c_body = {18,   36.5, 35,   35, 40, 39,   45.5,
                                               36.5, 51,   38.5, 50, 49, 16.5, 49.5};
    constexpr std::array<double, 10> c_cap = {18, 36.5, 35, 35, 40, 39, 39, 42.5, 17.2, 43};
    slab_piece(cr, a_body.data(), 5, a_cap.data(), 4, worn, 14, 14, 34, 32);
    slab_piece(cr, b_body.data(), 5, nullptr, 0, worn, 35, 15, 52, 34);
    slab_piece(cr, c_body.data(), 7, c_cap.data(), 5, worn, 16, 34, 52, 50);
    constexpr std::array<double, 6> crack_c = {28, 35.5, 30, 42, 27, 49};
    crack(cr, crack_c.data(), 3, 1.4);
    const Rgb grit = darker(EARTH, 0.2);
    pebble(cr, 34.5, 31.5, 1.6, grit);
    pebble(cr, 14.8, 33.5, 1.2, grit);
    pebble(cr, 52, 34, 1.1, grit);
    pebble(cr, 44, 15, 1.0, lighter(EARTH, 0.3));
}

void paint_tile_solid(cairo_t* cr) {
    rounded_rect_path(cr, 2.5, 2.5, 59, 59, 6);
    fill_lit(cr, darker(STEEL, 0.3), 2, 2, 62, 62);
    outline(cr, TILE_LINE);
    rounded_rect_path(cr, 2.5, 2.5, 59, 51, 6);
    fill_lit(cr, STEEL, 2, 2, 62, 54);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    // Brushed-metal sheen: two light diagonal bands.
    cairo_new_path(cr);
    constexpr std::array<double, 8> band_a = {2, 30, 30, 2, 40, 2, 2, 40};
    constexpr std::array<double, 8> band_b = {12, 56, 62, 6, 62, 14, 20, 56};
    polygon_path(cr, band_a.data(), 4);
    polygon_path(cr, band_b.data(), 4);
    set_colour(cr, WHITE, 0.22);
    cairo_fill(cr);
    cairo_restore(cr);
    outline(cr, TILE_LINE);
    // Inner bevel: light on the top-left edges, dark on the bottom-right ones.
    cairo_set_line_width(cr, 1.4);
    cairo_move_to(cr, 8, 47);
    cairo_line_to(cr, 8, 8);
    cairo_line_to(cr, 56, 8);
    set_colour(cr, WHITE, 0.6);
    cairo_stroke(cr);
    cairo_move_to(cr, 56, 8);
    cairo_line_to(cr, 56, 47);
    cairo_line_to(cr, 8, 47);
    set_colour(cr, darker(STEEL, 0.45));
    cairo_stroke(cr);
    constexpr std::array<double, 8> rivets = {13, 13, 51, 13, 13, 42, 51, 42};
    for (int i = 0; i < 4; ++i) {
        cairo_new_path(cr);
        cairo_arc(cr, rivets[2 * i], rivets[2 * i + 1], 3.4, 0, 6.283185307179586);
        fill_lit(cr, lighter(STEEL, 0.2), rivets[2 * i] - 3, rivets[2 * i + 1] - 3, rivets[2 * i] + 3,
                 rivets[2 * i + 1] + 3);
        outline(cr, 1.3);
    }
}

void paint_tile_fragile(cairo_t* cr) {
    rounded_rect_path(cr, 3.5, 4.5, 57, 54, 7);
    set_colour(cr, ICE_SIDE, 0.92);
    cairo_fill_preserve(cr);
    outline(cr, 2.2);
    rounded_rect_path(cr, 3.5, 4.5, 57, 50, 7);
    cairo_pattern_t* sheet = cairo_pattern_create_linear(4, 5, 60, 54);
    cairo_pattern_add_color_stop_rgba(sheet, 0, 0.93, 0.99, 1.0, 0.95);
    cairo_pattern_add_color_stop_rgba(sheet, 0.5, ICE.r, ICE.g, ICE.b, 0.88);
    cairo_pattern_add_color_stop_rgba(sheet, 1, ICE_SIDE.r, ICE_SIDE.g, ICE_SIDE.b, 0.9);
    cairo_set_source(cr, sheet);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(sheet);
    outline(cr, 2.2);
    // Glints along the light, and hairline cracks that say "do not step here twice".
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    set_colour(cr, WHITE, 0.95);
    cairo_set_line_width(cr, 2.6);
    cairo_move_to(cr, 10, 24);
    cairo_line_to(cr, 24, 10);
    cairo_move_to(cr, 11, 33);
    cairo_line_to(cr, 33, 11);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.6);
    cairo_move_to(cr, 44, 48);
    cairo_line_to(cr, 54, 38);
    cairo_stroke(cr);
    constexpr std::array<double, 10> crack_a = {35, 28, 41, 22, 46, 24, 52, 16, 56, 14};
    constexpr std::array<double, 8> crack_b = {35, 28, 33, 37, 26, 41, 20, 50};
    constexpr std::array<double, 6> crack_c = {35, 28, 44, 34, 48, 44};
    const Rgb hairline = darker(ICE_SIDE, 0.35);
    crack(cr, crack_a.data(), 5, 1.1, hairline);
    crack(cr, crack_b.data(), 4, 1.1, hairline);
    crack(cr, crack_c.data(), 3, 1.1, hairline);
}

void paint_player(cairo_t* cr, int slot) {
    const Rgb body = PLAYER_COLOURS[slot];
    const Rgb deep = darker(body, 0.3);
    constexpr double LINE = 2.2;
    constexpr double TURN = 6.283185307179586;
    auto ellipse = [cr](double cx, double cy, double rx, double ry) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx, ry);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 1, 0, TURN);
        cairo_restore(cr);
    };
    // Feet trail behind (down), hands at the sides, the beak leads (up).
    for (double x : {25.0, 39.0}) {
        cairo_new_path(cr);
        ellipse(x, 49.5, 5, 4);
        fill_lit(cr, deep, x - 5, 46, x + 5, 54);
        outline(cr, LINE);
    }
    for (double x : {17.0, 47.0}) {
        cairo_new_path(cr);
        ellipse(x, 35, 4.2, 4.2);
        fill_lit(cr, body, x - 4, 31, x + 4, 39);
        outline(cr, LINE);
    }
    constexpr std::array<double, 6> beak = {26.5, 23, 37.5, 23, 32, 13.5};
    cairo_new_path(cr);
    polygon_path(cr, beak.data(), 3);
    fill_lit(cr, GOLD, 27, 13, 37, 23);
    outline(cr, LINE);
    cairo_new_path(cr);
    ellipse(32, 35, 14.5, 15);
    fill_lit(cr, body, 17, 20, 47, 50);
    outline(cr, LINE);
    gloss(cr, 32, 35, 14.5, 15, 0.45);
    for (double x : {27.2, 36.8}) {
        cairo_new_path(cr);
        ellipse(x, 26, 3.7, 4.3);
        set_colour(cr, WHITE);
        cairo_fill_preserve(cr);
        outline(cr, 1.3);
        cairo_new_path(cr);
        ellipse(x, 24.4, 1.9, 2.1);
        set_colour(cr, INK);
        cairo_fill(cr);
    }
    // Back spots count the player number, so players differ by more than colour.
    const double first = 32 - (slot * 5.0) / 2;
    for (int i = 0; i <= slot; ++i) {
        cairo_new_path(cr);
        ellipse(first + i * 5.0, 42.5, 1.9, 1.9);
        set_colour(cr, lighter(body, 0.6));
        cairo_fill_preserve(cr);
        set_colour(cr, deep);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }
}
