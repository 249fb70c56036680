// The generator's own stroke alphabet: upper case, digits and a few signs, each glyph a set of
// polylines on a grid CAP_UNITS high (y down). All lettering in the atlas and on the contact
// sheet is stroked from these paths, so the art needs no font files.
// Limits: characters without a glyph (lower case is folded to upper case) are skipped with
// their advance of a space. Single-threaded, like the whole generator.
#pragma once
#include <cairo.h>

#include <string_view>

constexpr double CAP_UNITS = 6.0;        // glyph height in grid units
constexpr double LETTER_GAP_UNITS = 1.5; // space between neighbouring glyphs

struct Glyph {
    char code;
    double width;        // advance without the gap, in grid units
    const char* strokes; // "x,y x,y | x,y ..." polylines separated by '|'
};

// The glyph for a character after upper-case folding, or nullptr when the alphabet lacks it.
const Glyph* glyph_find(char c);

// Width of a line of text in grid units, from the left edge of the first glyph to the right
// edge of the last one (stroke width not included).
double text_units_width(std::string_view text);

// Appends the polylines of the text to the current path, the top-left of the first glyph at
// (x, y), one grid unit being `unit` pixels.
void text_path(cairo_t* cr, std::string_view text, double x, double y, double unit);
