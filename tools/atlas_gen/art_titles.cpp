// Lettering pieces: the countdown overlays (magnified up to 2.5 times, so thick strokes with a
// heavy outline), the score digits (12 pixels tall, dark with a white halo so they read on the
// ice tile behind them), the studio's intro pieces on black, and the credits card (scale 1.3).
#include "art.h"
#include "paint.h"

#include "glyphs.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace {

constexpr Lettering BOLD = {GOLD, INK, 2.0, 2.0, true};
constexpr Lettering DIGIT = {INK, WHITE, 1.3, 0.9, false};
constexpr Lettering INTRO = {WHITE, WHITE, 1.2, 0, true};
constexpr Lettering CARD_TEXT = {INK, INK, 1.2, 0, false};
constexpr Lettering CARD_ROLE = {rgb(120, 96, 150), INK, 1.2, 0, false};

std::string digit_text(int digit) {
    return std::string(1, static_cast<char>('0' + digit));
}

Box digit_box(int digit) {
    return packed_box("scorechar" + digit_text(digit) + ".png");
}

// The packed box narrowed to be centred on image column `centre_x`.
Box centred_on(Box b, double centre_x) {
    const double half = std::min(centre_x - b.x, b.x + b.w - centre_x);
    return {centre_x - half, b.y, 2 * half, b.h};
}

void lettering_left(cairo_t* cr, std::string_view text, const Lettering& style, double unit, double x,
                    double cy) {
    lettering_at(cr, text, style, unit, x + text_units_width(text) * unit / 2, cy);
}

void lettering_right(cairo_t* cr, std::string_view text, const Lettering& style, double unit, double x,
                     double cy) {
    lettering_at(cr, text, style, unit, x - text_units_width(text) * unit / 2, cy);
}

// The game's name with each letter in a player's colour.
void rainbow_title(cairo_t* cr, std::string_view title, double unit, double cx, double cy) {
    double pen = cx - text_units_width(title) * unit / 2;
    for (size_t i = 0; i < title.size(); ++i) {
        const Lettering style = {PLAYER_COLOURS[i % 4], INK, 1.7, 2.5, true};
        const std::string_view letter = title.substr(i, 1);
        const double w = text_units_width(letter) * unit;
        lettering_at(cr, letter, style, unit, pen + w / 2, cy);
        pen += w + LETTER_GAP_UNITS * unit;
    }
}

void mini_player(cairo_t* cr, int slot, double cx, double cy, double turn) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, turn);
    cairo_scale(cr, 0.7, 0.7);
    cairo_translate(cr, -32, -32);
    paint_player(cr, slot);
    cairo_restore(cr);
}

} // namespace

void paint_ready(cairo_t* cr) {
    lettering_fit(cr, "READY", BOLD, inset(packed_box("overlayready.png"), 0.5));
}

void paint_go(cairo_t* cr) {
    lettering_fit(cr, "GO!", BOLD, inset(packed_box("overlaygo.png"), 0.5));
}

void paint_score_digit(cairo_t* cr, int digit) {
    // One size for all digits (each has its own packed width), set by the tightest fit.
    double unit = 1e9;
    for (int d = 0; d < 10; ++d) {
        const Box b = inset(digit_box(d), 0.1);
        if (b.w > 0) unit = std::min(unit, lettering_unit(digit_text(d), DIGIT, b.w, b.h));
    }
    const Box b = digit_box(digit);
    lettering_at(cr, digit_text(digit), DIGIT, unit, b.x + b.w / 2, b.y + b.h / 2);
}

void paint_studio_emblem(cairo_t* cr) {
    constexpr double TURN = 6.283185307179586;
    cairo_arc(cr, 32, 32, 30.5, 0, TURN);
    fill_lit(cr, rgb(40, 96, 110), 2, 2, 62, 62);
    outline(cr, 1.5);
    cairo_arc(cr, 32, 32, 27, 0, TURN);
    set_colour(cr, GOLD);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, 32, 51);
    cairo_scale(cr, 15, 3);
    cairo_arc(cr, 0, 0, 1, 0, TURN);
    cairo_restore(cr);
    set_colour(cr, rgb(28, 70, 80));
    cairo_fill(cr);
    const double trunk[] = {29, 50.5, 30, 36, 34, 36, 35, 50.5};
    polygon_path(cr, trunk, 4);
    fill_lit(cr, EARTH, 29, 36, 35, 51);
    outline(cr, 1.4);
    // Canopy: overlapping puffs, outlined as one shape (outline everything, then fill over it).
    constexpr std::array<double, 12> puffs = {32, 21, 11, 22.5, 29, 8, 41.5, 29, 8, 32, 32, 9};
    auto canopy = [&] {
        cairo_new_path(cr);
        for (int i = 0; i < 4; ++i) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, puffs[3 * i], puffs[3 * i + 1], puffs[3 * i + 2], 0, TURN);
        }
    };
    canopy();
    set_colour(cr, INK);
    cairo_set_line_width(cr, 2.8);
    cairo_stroke(cr);
    canopy();
    fill_lit(cr, rgb(110, 196, 84), 14, 10, 50, 41);
    cairo_new_path(cr);
    gloss(cr, 30, 22, 12, 10, 0.5);
    for (int i = 0; i < 3; ++i) {
        cairo_arc(cr, 26 + 7 * i, 27 + (i % 2) * 4, 1.8, 0, TURN);
        set_colour(cr, MARKER_RED);
        cairo_fill(cr);
    }
}

// The intro centres the emblem on x = 320 and draws these two at x 220 and 214, so their
// lettering is centred on image columns 100 and 106 to stand under the emblem.
void paint_studio_name(cairo_t* cr) {
    lettering_fit(cr, "QZ5 LABS", INTRO, inset(centred_on(packed_box("qz5labswhite213x60.png"), 100), 0.5));
}

void paint_presents(cairo_t* cr) {
    constexpr Lettering SOFT = {rgb(214, 220, 236), WHITE, 1.1, 0, true};
    lettering_fit(cr, "PRESENTS", SOFT, inset(centred_on(packed_box("presents.png"), 106), 0.5));
}

void paint_credits(cairo_t* cr) {
    constexpr double W = 400, H = 320;
    rounded_rect_path(cr, 1.5, 1.5, W - 3, H - 3, 16);
    fill_lit(cr, rgb(214, 150, 70), 0, 0, W, H);
    outline(cr, 3);
    rounded_rect_path(cr, 14.5, 14.5, W - 29, H - 29, 9);
    fill_lit(cr, CREAM, 14, 14, W - 14, H - 14);
    outline(cr, 2);
    // Studs on the frame, one in each corner.
    for (double x : {8.0, W - 8}) {
        for (double y : {8.0, H - 8}) {
            cairo_arc(cr, x, y, 3.2, 0, 6.283185307179586);
            fill_lit(cr, GOLD, x - 3, y - 3, x + 3, y + 3);
            outline(cr, 1.2);
        }
    }
    rainbow_title(cr, "QUIBBET", 5.2, W / 2, 56);
    mini_player(cr, 0, 50, 56, 1.5707963267948966);
    mini_player(cr, 1, 86, 56, 1.5707963267948966);
    mini_player(cr, 2, W - 86, 56, -1.5707963267948966);
    mini_player(cr, 3, W - 50, 56, -1.5707963267948966);
    lettering_at(cr, "(C) 2013 VORLUMP", CARD_TEXT, 2.0, W / 2, 100);
    cairo_set_line_width(cr, 1.5);
    cairo_move_to(cr, 60, 122.5);
    cairo_line_to(cr, W - 60, 122.5);
    set_colour(cr, darker(CREAM, 0.25));
    cairo_stroke(cr);
    struct Line {
        const char* role;
        const char* name;
    };
    constexpr std::array<Line, 5> lines = {{{"PROGRAMMING", "ODA PELLINGRAVE"},
                                            {"ART", "MIRO QUASTENBERG"},
                                            {"MUSIC", "ELSKE VANDERWOLL"},
                                            {"LEVELS", "JUNO BRAKKEWIT"},
                                            {"TESTING", "TAVI ORNSBOLL"}}};
    for (size_t i = 0; i < lines.size(); ++i) {
        const double y = 144 + 22.0 * i;
        lettering_right(cr, lines[i].role, CARD_ROLE, 1.7, 172, y);
        lettering_left(cr, lines[i].name, CARD_TEXT, 1.7, 190, y);
    }
    lettering_at(cr, "A QZ5 LABS PRODUCTION", CARD_ROLE, 1.5, W / 2, 264);
    lettering_at(cr, "ANY KEY: BACK TO THE GAME    ESC: QUIT", CARD_TEXT, 1.25, W / 2, 288);
}
