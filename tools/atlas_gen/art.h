// The painters of the atlas images. Each draws one image at its full size, in the image's
// own pixel coordinates (origin top-left), inside the packed rectangle of its atlas record.
// Single-threaded.
#pragma once
#include <cairo.h>

#include <string_view>

using Painter = void (*)(cairo_t*);
struct KeyName;

struct ArtEntry {
    const char* name;
    Painter paint;
};

// The painter of the image with this name, or nullptr when there is none.
Painter art_find(std::string_view name);

struct Box;
// The packed rectangle of the named image inside its full image, from the atlas table; all
// zero for a name the table lacks.
Box packed_box(std::string_view name);

// Board pieces (art_board.cpp).
void paint_tile_whole(cairo_t* cr);
void paint_tile_chipped(cairo_t* cr);
void paint_tile_rubble(cairo_t* cr);
void paint_tile_solid(cairo_t* cr);
void paint_tile_fragile(cairo_t* cr);
// Player `slot` (0..3) facing up, in a 64 x 64 box; the credits card reuses it.
void paint_player(cairo_t* cr, int slot);

// Menu pieces (art_menu.cpp).
void paint_menu_panel(cairo_t* cr);
void paint_menu_labels(cairo_t* cr);
void paint_marker(cairo_t* cr);
void paint_sound_panel(cairo_t* cr);
void paint_sound_icons(cairo_t* cr);
void paint_controls(cairo_t* cr, int slot);
// What a slot the computer steers shows in the menu instead of its controls.
// strength: 1 easy, 2 normal, 3 hard, shown as that many lit eyes.
void paint_computer(cairo_t* cr, int slot, int strength);
// The chosen keys' cap labels, the ring round the cap asked for, the refusal and the prompts.
void paint_key_label(cairo_t* cr, const KeyName& key);
void paint_key_ask(cairo_t* cr);
void paint_key_refused(cairo_t* cr);
void paint_remap_prompt(cairo_t* cr, bool right);

// Lettering and title pieces (art_titles.cpp).
void paint_ready(cairo_t* cr);
void paint_go(cairo_t* cr);
void paint_score_digit(cairo_t* cr, int digit);
void paint_studio_emblem(cairo_t* cr);
void paint_studio_name(cairo_t* cr);
void paint_presents(cairo_t* cr);
void paint_credits(cairo_t* cr);

// The run-time lettering (art_glyphs.cpp): one cell per character, GLYPH_CELL_HEIGHT high and
// glyph_cell_width wide, the strokes centred in it; neighbouring cells overlap by 2 pixels
// when the game sets them in a line. The button that opens a room is drawn beside the sound panel.
constexpr double GLYPH_UNIT = 1.5;
constexpr int GLYPH_CELL_HEIGHT = 14;
int glyph_cell_width(char c);
void paint_glyph(cairo_t* cr, char c);
constexpr int ROOM_BUTTON_WIDTH = 60, ROOM_BUTTON_HEIGHT = 30;
void paint_room_button(cairo_t* cr);
// Who steers a seat in a room (YOU, FRIEND, COMPUTER, FREE), in the lettering above with the
// fill in player `slot`'s colour, in a cell GLYPH_CELL_HEIGHT high fitting the word.
void paint_seat_word(cairo_t* cr, int slot, const char* word);

// Props (art_props.cpp).
void paint_cloud(cairo_t* cr);
void paint_score_box(cairo_t* cr);
void paint_ball_large(cairo_t* cr);
void paint_ball_small(cairo_t* cr);
void paint_score_pin(cairo_t* cr);
void paint_stone(cairo_t* cr, int width, int height);
