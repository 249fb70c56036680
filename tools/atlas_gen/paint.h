// The atlas's one look, as drawing helpers: a shared palette, flat fills with a soft
// top-left-to-bottom-right shade, thin dark outlines, and outlined stroke lettering.
// Every image is drawn through these so the whole atlas reads as one set. Single-threaded.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <string_view>
#include <vector>

struct Rgb {
    double r, g, b;
};

constexpr Rgb rgb(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0};
}

// Palette shared by every image.
constexpr Rgb INK = rgb(38, 30, 52); // outlines and dark lettering
constexpr Rgb WHITE = rgb(255, 255, 255);
constexpr Rgb SKY = rgb(114, 153, 216);   // the game's background behind the board
constexpr Rgb CREAM = rgb(252, 244, 222); // panels and key faces
constexpr Rgb MARKER_RED = rgb(226, 58, 52);
constexpr Rgb GOLD = rgb(255, 200, 60);
constexpr Rgb TURF = rgb(104, 190, 72);
constexpr Rgb EARTH = rgb(150, 98, 60);

// Player colours: orange, yellow, blue and mauve. Simulated protan, deutan and tritan vision
// keeps every pair well apart, their lightness alone tells them apart (117, 212, 87, 151), and
// none relies on red against green.
constexpr Rgb PLAYER_COLOURS[4] = {rgb(214, 88, 8), rgb(246, 224, 60), rgb(30, 96, 190), rgb(204, 121, 167)};

Rgb mix(Rgb a, Rgb b, double t);
inline Rgb lighter(Rgb c, double t) {
    return mix(c, WHITE, t);
}
inline Rgb darker(Rgb c, double t) {
    return mix(c, rgb(0, 0, 0), t);
}

void set_colour(cairo_t* cr, Rgb c, double alpha = 1.0);
void rounded_rect_path(cairo_t* cr, double x, double y, double w, double h, double r);
void polygon_path(cairo_t* cr, const double* xy, int points);

// Fills the current path (kept) with `base`, lit from the top left of the box (x0, y0)-(x1, y1).
void fill_lit(cairo_t* cr, Rgb base, double x0, double y0, double x1, double y1);
// Strokes the current path (cleared) in INK.
void outline(cairo_t* cr, double width);
// A soft white sheen in the top-left part of an ellipse's box.
void gloss(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha);

struct Box {
    double x, y, w, h;
};

constexpr Box inset(Box b, double by) {
    return {b.x + by, b.y + by, b.w - 2 * by, b.h - 2 * by};
}

struct Lettering {
    Rgb fill;
    Rgb edge;
    double stroke;     // glyph stroke width, in grid units
    double edge_width; // outline around the strokes, in pixels (0: none)
    bool shade;        // fill darkens towards the bottom
};

// Grid unit that makes the text, strokes and outline included, fit inside w x h pixels.
double lettering_unit(std::string_view text, const Lettering& style, double w, double h);
// Draws the text with the given unit, centred on (cx, cy).
void lettering_at(cairo_t* cr, std::string_view text, const Lettering& style, double unit, double cx,
                  double cy);
// Draws the text as large as fits inside the box, centred in it.
void lettering_fit(cairo_t* cr, std::string_view text, const Lettering& style, double x, double y, double w,
                   double h);
inline void lettering_fit(cairo_t* cr, std::string_view text, const Lettering& style, Box b) {
    lettering_fit(cr, text, style, b.x, b.y, b.w, b.h);
}

// The surface's pixels as straight (not premultiplied) RGBA bytes, row after row, for a PNG.
std::vector<uint8_t> surface_rgba(cairo_surface_t* surface);
