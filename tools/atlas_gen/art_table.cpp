#include "art.h"
#include "paint.h"

#include "assets/atlas_images.h"

#include <array>

namespace {

const std::array<ArtEntry, ATLAS_IMAGE_COUNT> art_entries = {{
    {"cloud001.png", paint_cloud},
    {"credits320.png", paint_credits},
    {"menubg.png", paint_menu_panel},
    {"menutext.png", paint_menu_labels},
    {"scorebox.png", paint_score_box},
    {"qz5tree.png", paint_studio_emblem},
    {"tile004.png", paint_tile_solid},
    {"tile001.png", paint_tile_whole},
    {"tile005.png", paint_tile_fragile},
    {"tile002.png", paint_tile_chipped},
    {"tile003.png", paint_tile_rubble},
    {"player001.png", [](cairo_t* cr) { paint_player(cr, 0); }},
    {"player002.png", [](cairo_t* cr) { paint_player(cr, 1); }},
    {"player003.png", [](cairo_t* cr) { paint_player(cr, 2); }},
    {"player004.png", [](cairo_t* cr) { paint_player(cr, 3); }},
    {"brownstone8x32.png", [](cairo_t* cr) { paint_stone(cr, 8, 32); }},
    {"brownstone8x16.png", [](cairo_t* cr) { paint_stone(cr, 8, 16); }},
    {"brownstone16x8.png", [](cairo_t* cr) { paint_stone(cr, 16, 8); }},
    {"brownstone8x8.png", [](cairo_t* cr) { paint_stone(cr, 8, 8); }},
    {"soundmenu.png", paint_sound_panel},
    {"soundmenutext.png", paint_sound_icons},
    {"qz5labswhite213x60.png", paint_studio_name},
    {"presents.png", paint_presents},
    {"overlaygo.png", paint_go},
    {"overlayready.png", paint_ready},
    {"scoreball24x24.png", paint_ball_large},
    {"scoreball12x12.png", paint_ball_small},
    {"scorepin.png", paint_score_pin},
    {"redbutton001.png", paint_marker},
    {"controls001.png", [](cairo_t* cr) { paint_controls(cr, 0); }},
    {"controls002.png", [](cairo_t* cr) { paint_controls(cr, 1); }},
    {"controls003.png", [](cairo_t* cr) { paint_controls(cr, 2); }},
    {"controls004.png", [](cairo_t* cr) { paint_controls(cr, 3); }},
    {"scorechar0.png", [](cairo_t* cr) { paint_score_digit(cr, 0); }},
    {"scorechar1.png", [](cairo_t* cr) { paint_score_digit(cr, 1); }},
    {"scorechar2.png", [](cairo_t* cr) { paint_score_digit(cr, 2); }},
    {"scorechar3.png", [](cairo_t* cr) { paint_score_digit(cr, 3); }},
    {"scorechar4.png", [](cairo_t* cr) { paint_score_digit(cr, 4); }},
    {"scorechar5.png", [](cairo_t* cr) { paint_score_digit(cr, 5); }},
    {"scorechar6.png", [](cairo_t* cr) { paint_score_digit(cr, 6); }},
    {"scorechar7.png", [](cairo_t* cr) { paint_score_digit(cr, 7); }},
    {"scorechar8.png", [](cairo_t* cr) { paint_score_digit(cr, 8); }},
    {"scorechar9.png", [](cairo_t* cr) { paint_score_digit(cr, 9); }},
    {"computer001.png", [](cairo_t* cr) { paint_computer(cr, 0); }},
    {"computer002.png", [](cairo_t* cr) { paint_computer(cr, 1); }},
    {"computer003.png", [](cairo_t* cr) { paint_computer(cr, 2); }},
    {"computer004.png", [](cairo_t* cr) { paint_computer(cr, 3); }},
}};

} // namespace

Painter art_find(std::string_view name) {
    for (const ArtEntry& entry : art_entries)
        if (name == entry.name) return entry.paint;
    return nullptr;
}

Box packed_box(std::string_view name) {
    for (const ImageRecord& r : atlas_images)
        if (name == r.name)
            return {double(r.offset_x), double(r.offset_y), double(r.packed_width), double(r.packed_height)};
    return {0, 0, 0, 0};
}
