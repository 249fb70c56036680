#include "art.h"
#include "paint.h"

#include "assets/atlas_images.h"
#include "game/key_names.h"

#include <array>
#include <utility>

namespace {

const std::array<ArtEntry, ATLAS_IMAGE_COUNT - KEY_NAMES.size()> art_entries = {{
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
    {"computer001.png", [](cairo_t* cr) { paint_computer(cr, 0, 2); }},
    {"computer002.png", [](cairo_t* cr) { paint_computer(cr, 1, 2); }},
    {"computer003.png", [](cairo_t* cr) { paint_computer(cr, 2, 2); }},
    {"computer004.png", [](cairo_t* cr) { paint_computer(cr, 3, 2); }},
    {"keyask.png", paint_key_ask},
    {"keyrefused.png", paint_key_refused},
    {"remapleft.png", [](cairo_t* cr) { paint_remap_prompt(cr, false); }},
    {"remapright.png", [](cairo_t* cr) { paint_remap_prompt(cr, true); }},
    {"computereasy001.png", [](cairo_t* cr) { paint_computer(cr, 0, 1); }},
    {"computereasy002.png", [](cairo_t* cr) { paint_computer(cr, 1, 1); }},
    {"computereasy003.png", [](cairo_t* cr) { paint_computer(cr, 2, 1); }},
    {"computereasy004.png", [](cairo_t* cr) { paint_computer(cr, 3, 1); }},
    {"computerhard001.png", [](cairo_t* cr) { paint_computer(cr, 0, 3); }},
    {"computerhard002.png", [](cairo_t* cr) { paint_computer(cr, 1, 3); }},
    {"computerhard003.png", [](cairo_t* cr) { paint_computer(cr, 2, 3); }},
    {"computerhard004.png", [](cairo_t* cr) { paint_computer(cr, 3, 3); }},
    {"glyph_A.png", [](cairo_t* cr) { paint_glyph(cr, 'A'); }},
    {"glyph_B.png", [](cairo_t* cr) { paint_glyph(cr, 'B'); }},
    {"glyph_C.png", [](cairo_t* cr) { paint_glyph(cr, 'C'); }},
    {"glyph_D.png", [](cairo_t* cr) { paint_glyph(cr, 'D'); }},
    {"glyph_E.png", [](cairo_t* cr) { paint_glyph(cr, 'E'); }},
    {"glyph_F.png", [](cairo_t* cr) { paint_glyph(cr, 'F'); }},
    {"glyph_G.png", [](cairo_t* cr) { paint_glyph(cr, 'G'); }},
    {"glyph_H.png", [](cairo_t* cr) { paint_glyph(cr, 'H'); }},
    {"glyph_I.png", [](cairo_t* cr) { paint_glyph(cr, 'I'); }},
    {"glyph_J.png", [](cairo_t* cr) { paint_glyph(cr, 'J'); }},
    {"glyph_K.png", [](cairo_t* cr) { paint_glyph(cr, 'K'); }},
    {"glyph_L.png", [](cairo_t* cr) { paint_glyph(cr, 'L'); }},
    {"glyph_M.png", [](cairo_t* cr) { paint_glyph(cr, 'M'); }},
    {"glyph_N.png", [](cairo_t* cr) { paint_glyph(cr, 'N'); }},
    {"glyph_O.png", [](cairo_t* cr) { paint_glyph(cr, 'O'); }},
    {"glyph_P.png", [](cairo_t* cr) { paint_glyph(cr, 'P'); }},
    {"glyph_Q.png", [](cairo_t* cr) { paint_glyph(cr, 'Q'); }},
    {"glyph_R.png", [](cairo_t* cr) { paint_glyph(cr, 'R'); }},
    {"glyph_S.png", [](cairo_t* cr) { paint_glyph(cr, 'S'); }},
    {"glyph_T.png", [](cairo_t* cr) { paint_glyph(cr, 'T'); }},
    {"glyph_U.png", [](cairo_t* cr) { paint_glyph(cr, 'U'); }},
    {"glyph_V.png", [](cairo_t* cr) { paint_glyph(cr, 'V'); }},
    {"glyph_W.png", [](cairo_t* cr) { paint_glyph(cr, 'W'); }},
    {"glyph_X.png", [](cairo_t* cr) { paint_glyph(cr, 'X'); }},
    {"glyph_Y.png", [](cairo_t* cr) { paint_glyph(cr, 'Y'); }},
    {"glyph_Z.png", [](cairo_t* cr) { paint_glyph(cr, 'Z'); }},
    {"glyph_0.png", [](cairo_t* cr) { paint_glyph(cr, '0'); }},
    {"glyph_1.png", [](cairo_t* cr) { paint_glyph(cr, '1'); }},
    {"glyph_2.png", [](cairo_t* cr) { paint_glyph(cr, '2'); }},
    {"glyph_3.png", [](cairo_t* cr) { paint_glyph(cr, '3'); }},
    {"glyph_4.png", [](cairo_t* cr) { paint_glyph(cr, '4'); }},
    {"glyph_5.png", [](cairo_t* cr) { paint_glyph(cr, '5'); }},
    {"glyph_6.png", [](cairo_t* cr) { paint_glyph(cr, '6'); }},
    {"glyph_7.png", [](cairo_t* cr) { paint_glyph(cr, '7'); }},
    {"glyph_8.png", [](cairo_t* cr) { paint_glyph(cr, '8'); }},
    {"glyph_9.png", [](cairo_t* cr) { paint_glyph(cr, '9'); }},
    {"glyph_bang.png", [](cairo_t* cr) { paint_glyph(cr, '!'); }},
    {"glyph_dot.png", [](cairo_t* cr) { paint_glyph(cr, '.'); }},
    {"glyph_comma.png", [](cairo_t* cr) { paint_glyph(cr, ','); }},
    {"glyph_colon.png", [](cairo_t* cr) { paint_glyph(cr, ':'); }},
    {"glyph_dash.png", [](cairo_t* cr) { paint_glyph(cr, '-'); }},
    {"glyph_slash.png", [](cairo_t* cr) { paint_glyph(cr, '/'); }},
    {"glyph_apostrophe.png", [](cairo_t* cr) { paint_glyph(cr, '\''); }},
    {"glyph_open.png", [](cairo_t* cr) { paint_glyph(cr, '('); }},
    {"glyph_close.png", [](cairo_t* cr) { paint_glyph(cr, ')'); }},
    {"glyph_question.png", [](cairo_t* cr) { paint_glyph(cr, '?'); }},
    {"glyph_hash.png", [](cairo_t* cr) { paint_glyph(cr, '#'); }},
    {"roombutton.png", paint_room_button},
    {"seatyou001.png", [](cairo_t* cr) { paint_seat_word(cr, 0, "YOU"); }},
    {"seatfriend001.png", [](cairo_t* cr) { paint_seat_word(cr, 0, "FRIEND"); }},
    {"seatcomputer001.png", [](cairo_t* cr) { paint_seat_word(cr, 0, "COMPUTER"); }},
    {"seatfree001.png", [](cairo_t* cr) { paint_seat_word(cr, 0, "FREE"); }},
    {"seatyou002.png", [](cairo_t* cr) { paint_seat_word(cr, 1, "YOU"); }},
    {"seatfriend002.png", [](cairo_t* cr) { paint_seat_word(cr, 1, "FRIEND"); }},
    {"seatcomputer002.png", [](cairo_t* cr) { paint_seat_word(cr, 1, "COMPUTER"); }},
    {"seatfree002.png", [](cairo_t* cr) { paint_seat_word(cr, 1, "FREE"); }},
    {"seatyou003.png", [](cairo_t* cr) { paint_seat_word(cr, 2, "YOU"); }},
    {"seatfriend003.png", [](cairo_t* cr) { paint_seat_word(cr, 2, "FRIEND"); }},
    {"seatcomputer003.png", [](cairo_t* cr) { paint_seat_word(cr, 2, "COMPUTER"); }},
    {"seatfree003.png", [](cairo_t* cr) { paint_seat_word(cr, 2, "FREE"); }},
    {"seatyou004.png", [](cairo_t* cr) { paint_seat_word(cr, 3, "YOU"); }},
    {"seatfriend004.png", [](cairo_t* cr) { paint_seat_word(cr, 3, "FRIEND"); }},
    {"seatcomputer004.png", [](cairo_t* cr) { paint_seat_word(cr, 3, "COMPUTER"); }},
    {"seatfree004.png", [](cairo_t* cr) { paint_seat_word(cr, 3, "FREE"); }},
}};

// One painter per choosable key's cap label, in the order of KEY_NAMES.
template <std::size_t I>
void paint_key_label_of(cairo_t* cr) {
    paint_key_label(cr, KEY_NAMES[I]);
}
template <std::size_t... I>
constexpr std::array<Painter, sizeof...(I)> key_label_painters(std::index_sequence<I...>) {
    return {paint_key_label_of<I>...};
}
constexpr auto KEY_LABEL_PAINTERS = key_label_painters(std::make_index_sequence<KEY_NAMES.size()>());

} // namespace

Painter art_find(std::string_view name) {
    for (const ArtEntry& entry : art_entries)
        if (name == entry.name) return entry.paint;
    for (std::size_t i = 0; i < KEY_NAMES.size(); ++i)
        if (name == key_image_name(KEY_NAMES[i]).data()) return KEY_LABEL_PAINTERS[i];
    return nullptr;
}

Box packed_box(std::string_view name) {
    for (const ImageRecord& r : atlas_images)
        if (name == r.name)
            return {double(r.offset_x), double(r.offset_y), double(r.packed_width), double(r.packed_height)};
    return {0, 0, 0, 0};
}
