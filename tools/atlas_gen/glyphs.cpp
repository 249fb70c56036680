#include "glyphs.h"

#include <array>
#include <cctype>
#include <cstdlib>

namespace {

// Chamfered corners instead of curves keep every glyph a handful of straight strokes that stay
// clean at 12 pixels and when an overlay is magnified 2.5 times.
constexpr std::array<Glyph, 59> glyphs = {{
    {'A', 4, "0,6 0,1.5 1.5,0 2.5,0 4,1.5 4,6 | 0,3.5 4,3.5"},
    {'B', 4, "0,6 0,0 3,0 4,1 4,2 3,3 0,3 | 3,3 4,4 4,5 3,6 0,6"},
    {'C', 4, "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5"},
    {'D', 4, "0,0 2.8,0 4,1.2 4,4.8 2.8,6 0,6 0,0"},
    {'E', 4, "4,0 0,0 0,6 4,6 | 0,3 3,3"},
    {'F', 4, "4,0 0,0 0,6 | 0,3 3,3"},
    {'G', 4, "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.2 2.3,3.2"},
    {'H', 4, "0,0 0,6 | 4,0 4,6 | 0,3 4,3"},
    {'I', 2, "0,0 2,0 | 1,0 1,6 | 0,6 2,6"},
    {'J', 4, "4,0 4,5 3,6 1,6 0,5"},
    {'K', 4, "0,0 0,6 | 4,0 0,3.8 | 1.4,2.5 4,6"},
    {'L', 3.6, "0,0 0,6 3.6,6"},
    {'M', 5, "0,6 0,0 2.5,3.2 5,0 5,6"},
    {'N', 4, "0,6 0,0 4,6 4,0"},
    {'O', 4, "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0"},
    {'P', 4, "0,6 0,0 3,0 4,1 4,2.2 3,3.2 0,3.2"},
    {'Q', 4, "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0 | 2.4,4.4 4,6"},
    {'R', 4, "0,6 0,0 3,0 4,1 4,2 3,3 0,3 | 2,3 4,6"},
    {'S', 4, "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5"},
    {'T', 4, "0,0 4,0 | 2,0 2,6"},
    {'U', 4, "0,0 0,5 1,6 3,6 4,5 4,0"},
    {'V', 4, "0,0 2,6 4,0"},
    {'W', 5, "0,0 1.25,6 2.5,2 3.75,6 5,0"},
    {'X', 4, "0,0 4,6 | 4,0 0,6"},
    {'Y', 4, "0,0 2,3 4,0 | 2,3 2,6"},
    {'Z', 4, "0,0 4,0 0,6 4,6"},
    {'0', 4, "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0"},
    {'1', 1, "0,1.1 1,0 1,6"},
    {'2', 4, "0,1 1,0 3,0 4,1 4,2.2 0,6 4,6"},
    {'3', 4, "0,1 1,0 3,0 4,1 4,2 3,3 1.5,3 | 3,3 4,4 4,5 3,6 1,6 0,5"},
    {'4', 5, "3.6,6 3.6,0 0,4.2 5,4.2"},
    {'5', 4, "4,0 0,0 0,2.6 3,2.6 4,3.6 4,5 3,6 1,6 0,5"},
    {'6', 4, "3.5,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.6 3,2.6 0,2.6"},
    {'7', 4, "0,0 4,0 1.5,6"},
    {'8', 4, "1,3 0,2 0,1 1,0 3,0 4,1 4,2 3,3 1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3"},
    {'9', 4, "0.5,6 3,6 4,5 4,1 3,0 1,0 0,1 0,2.4 1,3.4 4,3.4"},
    {' ', 2.2, ""},
    {'!', 0, "0,0 0,3.4 | 0,5.9 0,6"},
    {'.', 0, "0,5.9 0,6"},
    {',', 0.6, "0.6,5.4 0,6.8"},
    {':', 0, "0,1.9 0,2 | 0,5.9 0,6"},
    {'-', 3, "0,3 3,3"},
    {'+', 3, "0,3 3,3 | 1.5,1.5 1.5,4.5"},
    {'/', 3, "0,6 3,0"},
    {'\'', 0, "0,0 0,1.6"},
    {'(', 1.5, "1.5,0 0,1.5 0,4.5 1.5,6"},
    {')', 1.5, "0,0 1.5,1.5 1.5,4.5 0,6"},
    {'?', 4, "0,1 1,0 3,0 4,1 4,2 2,3.4 2,4.2 | 2,5.9 2,6"},
    {'<', 3, "3,0 0,3 3,6"},
    {'>', 3, "0,0 3,3 0,6"},
    {'&', 4.4, "4.4,6 0.8,2.2 0.8,1 1.8,0 2.8,0 3.6,0.8 3.6,1.8 0,4.2 0,5.2 0.8,6 2.6,6 4.4,3.8"},
    {'=', 3, "0,2 3,2 | 0,4 3,4"},
    {'#', 4, "1.2,0 0.8,6 | 3.2,0 2.8,6 | 0,2 4,2 | 0,4 4,4"},
    {';', 0.6, "0.6,1.9 0.6,2 | 0.6,5.4 0,6.8"},
    {'*', 3, "1.5,1 1.5,5 | 0,2 3,4 | 0,4 3,2"},
    {'`', 1, "0,0 1,1.5"},
    {'[', 1.5, "1.5,0 0,0 0,6 1.5,6"},
    {']', 1.5, "0,0 1.5,0 1.5,6 0,6"},
    {'\\', 3, "0,0 3,6"},
}};

// Reads one "x,y" pair; returns false at the end of a stroke or of the string.
bool read_point(const char*& s, double& x, double& y) {
    while (*s == ' ')
        ++s;
    if (*s == '\0' || *s == '|') return false;
    char* end = nullptr;
    x = std::strtod(s, &end);
    s = end + 1; // the comma
    y = std::strtod(s, &end);
    s = end;
    return true;
}

} // namespace

const Glyph* glyph_find(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Glyph& g : glyphs)
        if (g.code == upper) return &g;
    return nullptr;
}

double text_units_width(std::string_view text) {
    double width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph* g = glyph_find(text[i]);
        width += g ? g->width : glyph_find(' ')->width;
        if (i + 1 < text.size()) width += LETTER_GAP_UNITS;
    }
    return width;
}

void text_path(cairo_t* cr, std::string_view text, double x, double y, double unit) {
    double pen = x;
    for (char c : text) {
        const Glyph* g = glyph_find(c);
        if (!g) g = glyph_find(' ');
        const char* s = g->strokes;
        while (*s) {
            double gx = 0, gy = 0;
            bool first = true;
            while (read_point(s, gx, gy)) {
                if (first)
                    cairo_move_to(cr, pen + gx * unit, y + gy * unit);
                else
                    cairo_line_to(cr, pen + gx * unit, y + gy * unit);
                first = false;
            }
            if (*s == '|') ++s;
        }
        pen += (g->width + LETTER_GAP_UNITS) * unit;
    }
}
