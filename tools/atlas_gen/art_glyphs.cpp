// The game's own lettering for lines it writes at run time (a room's code and link, what went
// wrong online): one image per character, white strokes with an ink edge so they read on the sky
// and on the board alike, the words of who sits where in the players' colours, and the button
// that opens a room.
#include "art.h"
#include "glyphs.h"
#include "paint.h"

namespace {

constexpr Lettering LINE = {WHITE, INK, 1.3, 1.0, false};

} // namespace

int glyph_cell_width(char c) {
    const Glyph* g = glyph_find(c);
    return g ? static_cast<int>(g->width * GLYPH_UNIT + 0.999) + 4 : 0;
}

void paint_glyph(cairo_t* cr, char c) {
    const char text[2] = {c, 0};
    lettering_at(cr, text, LINE, GLYPH_UNIT, glyph_cell_width(c) / 2.0, GLYPH_CELL_HEIGHT / 2.0);
}

void paint_seat_word(cairo_t* cr, int slot, const char* word) {
    const Lettering style = {PLAYER_COLOURS[slot], INK, LINE.stroke, LINE.edge_width, false};
    const int width = static_cast<int>(text_units_width(word) * GLYPH_UNIT + 0.999) + 4;
    lettering_at(cr, word, style, GLYPH_UNIT, width / 2.0, GLYPH_CELL_HEIGHT / 2.0);
}

void paint_room_button(cairo_t* cr) {
    constexpr Lettering LABEL = {INK, INK, 1.3, 0, false};
    rounded_rect_path(cr, 0.5, 0.5, ROOM_BUTTON_WIDTH - 1, ROOM_BUTTON_HEIGHT - 1, 5);
    fill_lit(cr, CREAM, 0, 0, ROOM_BUTTON_WIDTH, ROOM_BUTTON_HEIGHT);
    outline(cr, 1);
    lettering_fit(cr, "ONLINE", LABEL, 6, 8, ROOM_BUTTON_WIDTH - 12, ROOM_BUTTON_HEIGHT - 16);
}
