#include "app_icon.h"

#include "art.h"
#include "paint.h"

#include <cairo.h>

namespace {
constexpr double ART_BOX = 64; // the painters draw the tile and the bird in a 64 x 64 box

void put_u16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    put_u16(out, v & 0xFFFF);
    put_u16(out, v >> 16);
}
} // namespace

std::vector<uint8_t> icon_rgba(int size) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, size / ART_BOX, size / ART_BOX);
    paint_tile_whole(cr);
    // The bird stands a little larger than on the board, so that it still reads at 16 pixels.
    constexpr double BIRD_SCALE = 1.12;
    cairo_translate(cr, ART_BOX / 2, ART_BOX / 2);
    cairo_scale(cr, BIRD_SCALE, BIRD_SCALE);
    cairo_translate(cr, -ART_BOX / 2, -ART_BOX / 2 - 2);
    paint_player(cr, 0);
    cairo_destroy(cr);
    std::vector<uint8_t> rgba = surface_rgba(surface);
    cairo_surface_destroy(surface);
    return rgba;
}

std::vector<uint8_t> ico_from_pngs(const std::vector<std::vector<uint8_t>>& pngs,
                                   const std::vector<int>& sizes) {
    constexpr uint32_t HEADER_BYTES = 6, ENTRY_BYTES = 16;
    std::vector<uint8_t> ico;
    put_u16(ico, 0); // reserved
    put_u16(ico, 1); // an icon, not a cursor
    put_u16(ico, static_cast<uint32_t>(pngs.size()));
    uint32_t offset = HEADER_BYTES + ENTRY_BYTES * static_cast<uint32_t>(pngs.size());
    for (size_t i = 0; i < pngs.size(); ++i) {
        const auto side = static_cast<uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]); // 0 stands for 256
        ico.push_back(side);
        ico.push_back(side);
        ico.push_back(0); // no palette
        ico.push_back(0); // reserved
        put_u16(ico, 1);  // colour planes
        put_u16(ico, 32); // bits per pixel
        put_u32(ico, static_cast<uint32_t>(pngs[i].size()));
        put_u32(ico, offset);
        offset += static_cast<uint32_t>(pngs[i].size());
    }
    for (const auto& png : pngs)
        ico.insert(ico.end(), png.begin(), png.end());
    return ico;
}
