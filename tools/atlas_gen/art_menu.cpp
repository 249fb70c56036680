// The menu panel, its labels, the red marker, the sound switches, the controls pictures and the
// computer's pictures that stand in for them.
// The menu is drawn at (245, 157) and the sound menu at (270, 440), scale 1, so every button
// here is placed to the pixel on the game's click areas: a key's face is exactly the footprint
// of the red marker that lights it, and its raised side runs down-right to the area's far edge.
#include "art.h"
#include "paint.h"

#include "menu_geometry.h"

#include "game/key_names.h"

namespace {

constexpr Rgb KEY_SIDE = rgb(122, 134, 168);
constexpr Rgb PANEL = rgb(246, 236, 208);
constexpr Lettering LABEL = {INK, INK, 1.25, 0, false};
constexpr Lettering KEY_DIGIT = {WHITE, INK, 1.5, 1.3, false};

// Face and side of a raised key, outlined on pixel centres so the 1-pixel lines stay crisp.
void paint_key(cairo_t* cr, const MenuKey& key, Rgb face, Rgb side) {
    const double left = key.face_x0 + 0.5, top = key.face_y0 + 0.5;
    const double right = key.face_x1 + 0.5, bottom = key.face_y1 + 0.5;
    const double xy[] = {left,
                         top,
                         right,
                         top,
                         right + key.depth_x,
                         top + key.depth_y,
                         right + key.depth_x,
                         bottom + key.depth_y,
                         left + key.depth_x,
                         bottom + key.depth_y,
                         left,
                         bottom};
    cairo_new_path(cr);
    polygon_path(cr, xy, 6);
    fill_lit(cr, side, left, top, right + key.depth_x, bottom + key.depth_y);
    outline(cr, 1);
    rounded_rect_path(cr, left, top, right - left, bottom - top, 2);
    fill_lit(cr, face, left, top, right, bottom);
    outline(cr, 1);
}

void panel(cairo_t* cr, double w, double h, double radius) {
    rounded_rect_path(cr, 0.5, 0.5, w - 1, h - 1, radius);
    fill_lit(cr, PANEL, 0, 0, w, h);
    outline(cr, 1);
    rounded_rect_path(cr, 2.5, 2.5, w - 5, h - 5, radius - 2);
    set_colour(cr, WHITE, 0.7);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// An arrow head pointing up or down.
void upright_triangle(cairo_t* cr, double cx, double cy, double half_h, double half_w, bool up) {
    const double tip = up ? cy - half_h : cy + half_h;
    const double back = up ? cy + half_h : cy - half_h;
    const double xy[] = {cx, tip, cx - half_w, back, cx + half_w, back};
    cairo_new_path(cr);
    polygon_path(cr, xy, 3);
    set_colour(cr, INK);
    cairo_fill(cr);
}

void triangle(cairo_t* cr, double cx, double cy, double half_w, double half_h, bool left) {
    const double tip = left ? cx - half_w : cx + half_w;
    const double back = left ? cx + half_w : cx - half_w;
    const double xy[] = {tip, cy, back, cy - half_h, back, cy + half_h};
    cairo_new_path(cr);
    polygon_path(cr, xy, 3);
    set_colour(cr, INK);
    cairo_fill(cr);
}

// A key-cap glyph centred on a face: letters, arrows or a mouse with one button pressed.
void cap_symbol(cairo_t* cr, char symbol, double cx, double cy) {
    constexpr Lettering CAP = {INK, INK, 1.5, 0, false};
    if (symbol == '<' || symbol == '>') {
        triangle(cr, cx, cy, 3.5, 4.5, symbol == '<');
        return;
    }
    if (symbol == 'l' || symbol == 'r') {
        rounded_rect_path(cr, cx - 4, cy - 6, 8, 12, 3.5);
        set_colour(cr, WHITE);
        cairo_fill_preserve(cr);
        outline(cr, 1);
        cairo_rectangle(cr, symbol == 'l' ? cx - 3.5 : cx, cy - 5.5, 3.5, 4.5);
        set_colour(cr, INK);
        cairo_fill(cr);
        cairo_move_to(cr, cx - 4, cy - 1);
        cairo_line_to(cr, cx + 4, cy - 1);
        cairo_move_to(cr, cx, cy - 6);
        cairo_line_to(cr, cx, cy - 1);
        outline(cr, 1);
        return;
    }
    const char text[2] = {symbol, '\0'};
    lettering_fit(cr, text, CAP, cx - 5, cy - 5.5, 10, 11);
}

} // namespace

void paint_menu_panel(cairo_t* cr) {
    panel(cr, MENU_WIDTH, MENU_HEIGHT, 9);
    // Four player-coloured studs along the top edge, echoing the players on the board.
    for (int i = 0; i < 4; ++i) {
        cairo_new_path(cr);
        cairo_arc(cr, 34 + 14 * i, 7.5, 2.6, 0, 6.283185307179586);
        fill_lit(cr, PLAYER_COLOURS[i], 31 + 14 * i, 5, 37 + 14 * i, 10);
        outline(cr, 1);
    }
    for (const MenuKey& key : PLAYER_COUNT_KEYS)
        paint_key(cr, key, CREAM, KEY_SIDE);
    paint_key(cr, LEVEL_PREVIOUS_KEY, CREAM, KEY_SIDE);
    paint_key(cr, LEVEL_NEXT_KEY, CREAM, KEY_SIDE);
    paint_key(cr, START_KEY, GOLD, darker(GOLD, 0.35));
    // Grooves between the three groups.
    cairo_set_line_width(cr, 1);
    for (double y : {72.5, 124.5}) {
        cairo_move_to(cr, 12, y);
        cairo_line_to(cr, MENU_WIDTH - 12, y);
        set_colour(cr, darker(PANEL, 0.25));
        cairo_stroke(cr);
        cairo_move_to(cr, 12, y + 1);
        cairo_line_to(cr, MENU_WIDTH - 12, y + 1);
        set_colour(cr, WHITE, 0.8);
        cairo_stroke(cr);
    }
}

void paint_menu_labels(cairo_t* cr) {
    lettering_fit(cr, "PLAYERS", LABEL, 24, 16, 63, 11);
    const char* digits[3] = {"2", "3", "4"};
    for (int i = 0; i < 3; ++i) {
        const MenuKey& key = PLAYER_COUNT_KEYS[i];
        lettering_fit(cr, digits[i], KEY_DIGIT, key.face_x0 + 2, key.face_y0 + 3,
                      key.face_x1 - key.face_x0 - 3, key.face_y1 - key.face_y0 - 5);
    }
    lettering_fit(cr, "LEVEL", LABEL, 24, 84, 63, 11);
    triangle(cr, face_centre_x(LEVEL_PREVIOUS_KEY), face_centre_y(LEVEL_PREVIOUS_KEY), 4, 4.5, true);
    triangle(cr, face_centre_x(LEVEL_NEXT_KEY), face_centre_y(LEVEL_NEXT_KEY), 4, 4.5, false);
    lettering_fit(cr, "START", LABEL, START_KEY.face_x0 + 6, START_KEY.face_y0 + 4,
                  START_KEY.face_x1 - START_KEY.face_x0 - 11, 12);
}

void paint_marker(cairo_t* cr) {
    rounded_rect_path(cr, 0.5, 0.5, MARKER_WIDTH - 1, MARKER_HEIGHT - 1, 2);
    fill_lit(cr, MARKER_RED, 0, 0, MARKER_WIDTH, MARKER_HEIGHT);
    outline(cr, 1);
    gloss(cr, MARKER_WIDTH / 2.0, MARKER_HEIGHT / 2.0, 8, 10, 0.6);
}

void paint_sound_panel(cairo_t* cr) {
    panel(cr, SOUND_WIDTH, SOUND_HEIGHT, 5);
    paint_key(cr, MUSIC_KEY, CREAM, KEY_SIDE);
    paint_key(cr, EFFECTS_KEY, CREAM, KEY_SIDE);
}

void paint_sound_icons(cairo_t* cr) {
    // Two beamed notes on the music switch.
    const double mx = face_centre_x(MUSIC_KEY), my = face_centre_y(MUSIC_KEY);
    set_colour(cr, INK);
    for (double dx : {-4.0, 3.0}) {
        cairo_save(cr);
        cairo_translate(cr, mx + dx, my + 4.5 - (dx > 0 ? 1.5 : 0));
        cairo_rotate(cr, -0.4);
        cairo_scale(cr, 2.5, 1.8);
        cairo_arc(cr, 0, 0, 1, 0, 6.283185307179586);
        cairo_restore(cr);
        cairo_fill(cr);
    }
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, mx - 1.8, my + 4);
    cairo_line_to(cr, mx - 1.8, my - 6);
    cairo_move_to(cr, mx + 5.2, my + 2.5);
    cairo_line_to(cr, mx + 5.2, my - 7.5);
    cairo_stroke(cr);
    const double beam[] = {mx - 2.4, my - 6.6, mx + 5.8, my - 8.4, mx + 5.8, my - 5.8, mx - 2.4, my - 4};
    polygon_path(cr, beam, 4);
    cairo_fill(cr);
    // A speaker with two waves on the effects switch.
    const double sx = face_centre_x(EFFECTS_KEY) - 2.5, sy = face_centre_y(EFFECTS_KEY);
    const double speaker[] = {sx - 5, sy - 2.5, sx - 2, sy - 2.5, sx + 2, sy - 6.5,
                              sx + 2, sy + 6.5, sx - 2, sy + 2.5, sx - 5, sy + 2.5};
    polygon_path(cr, speaker, 6);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (double r : {4.0, 7.0}) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, sx + 1.5, sy, r, -0.75, 0.75);
    }
    cairo_stroke(cr);
}

void paint_controls(cairo_t* cr, int slot) {
    // Blank caps: the game lays the chosen keys' labels on their faces.
    const Rgb colour = PLAYER_COLOURS[slot];
    for (const MenuKey& key : CONTROL_KEYS)
        paint_key(cr, key, lighter(colour, 0.55), darker(colour, 0.15));
}

void paint_key_label(cairo_t* cr, const KeyName& key) {
    // The image is a cap's face; the label centres on it, under a small tag when it has one.
    const double cx = CAP_FACE_WIDTH / 2.0, cy = CAP_FACE_HEIGHT / 2.0;
    constexpr Lettering TAG = {INK, INK, 1.1, 0, false};
    switch (key.symbol) {
    case CapSymbol::arrow_left:
        triangle(cr, cx, cy, 3.5, 4.5, true);
        return;
    case CapSymbol::arrow_right:
        triangle(cr, cx, cy, 3.5, 4.5, false);
        return;
    case CapSymbol::arrow_up:
        upright_triangle(cr, cx, cy, 4.5, 3.5, true);
        return;
    case CapSymbol::arrow_down:
        upright_triangle(cr, cx, cy, 4.5, 3.5, false);
        return;
    case CapSymbol::mouse_left:
        cap_symbol(cr, 'l', cx, cy);
        return;
    case CapSymbol::mouse_right:
        cap_symbol(cr, 'r', cx, cy);
        return;
    case CapSymbol::text:
        break;
    }
    if (key.small.empty()) {
        lettering_fit(cr, key.label, {INK, INK, 1.5, 0, false}, cx - 5, cy - 5.5, 10, 11);
        return;
    }
    lettering_fit(cr, key.small, TAG, 0.5, 1, CAP_FACE_WIDTH - 1, 4.5);
    lettering_fit(cr, key.label, {INK, INK, 1.5, 0, false}, cx - 4, 7, 8, 9);
}

void paint_key_ask(cairo_t* cr) {
    // A glowing ring around the cap whose key is asked for.
    rounded_rect_path(cr, 1, 1, 17, 20, 3);
    set_colour(cr, GOLD);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

void paint_key_refused(cairo_t* cr) {
    // The sign of a key that cannot be taken: a red ring struck through.
    constexpr Rgb RED = rgb(214, 40, 40);
    const double cx = CAP_FACE_WIDTH / 2.0, cy = CAP_FACE_HEIGHT / 2.0;
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, 6, 0, 6.283185307179586);
    set_colour(cr, WHITE, 0.6);
    cairo_fill_preserve(cr);
    set_colour(cr, RED);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_move_to(cr, cx - 4.2, cy + 4.2);
    cairo_line_to(cr, cx + 4.2, cy - 4.2);
    cairo_stroke(cr);
}

void paint_remap_prompt(cairo_t* cr, bool right) {
    panel(cr, REMAP_PROMPT_WIDTH, REMAP_PROMPT_HEIGHT, 6);
    lettering_fit(cr, right ? "PRESS THE RIGHT KEY" : "PRESS THE LEFT KEY", LABEL, 8, 6,
                  REMAP_PROMPT_WIDTH - 16, 12);
    lettering_fit(cr, "ESCAPE: AS BEFORE", {INK, INK, 1.1, 0, false}, 20, 23, REMAP_PROMPT_WIDTH - 40, 7);
}

void paint_computer(cairo_t* cr, int slot, int strength) {
    constexpr Rgb GLASS = rgb(34, 48, 70);
    constexpr Rgb GLOW = rgb(150, 236, 255);
    constexpr Rgb UNLIT = rgb(70, 90, 118);
    const Rgb colour = PLAYER_COLOURS[slot];
    // A screen in the player's colour on a small stand, with three eyes, as many lit as it is
    // strong, and a level mouth.
    rounded_rect_path(cr, 16.5, 22.5, 7, 4, 1);
    fill_lit(cr, darker(colour, 0.25), 16, 22, 24, 27);
    outline(cr, 1);
    rounded_rect_path(cr, 11.5, 26.5, 17, 3, 1.5);
    fill_lit(cr, darker(colour, 0.25), 11, 26, 29, 30);
    outline(cr, 1);
    rounded_rect_path(cr, 4.5, 5.5, 31, 18, 3);
    fill_lit(cr, colour, 4, 5, 36, 24);
    outline(cr, 1);
    rounded_rect_path(cr, 8.5, 8.5, 23, 12, 2);
    fill_lit(cr, GLASS, 8, 8, 32, 21);
    outline(cr, 1);
    for (int eye = 0; eye < 3; ++eye) {
        cairo_new_path(cr);
        cairo_arc(cr, 13.5 + 6.5 * eye, 13.5, 2.1, 0, 6.283185307179586);
        set_colour(cr, eye < strength ? GLOW : UNLIT);
        cairo_fill(cr);
    }
    cairo_move_to(cr, 16, 17.5);
    cairo_line_to(cr, 24, 17.5);
    set_colour(cr, GLOW);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    gloss(cr, 20, 14, 14, 8, 0.3);
}
