#include "contact_sheet.h"

#include "paint.h"
#include "pixels.h"

#include "assets/atlas_images.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int COLUMNS = 6;
constexpr int CELL_WIDTH = 200, CELL_HEIGHT = 176;
constexpr int MARGIN = 16, HEADER = 56;
constexpr double PICTURE_WIDTH = 184, PICTURE_HEIGHT = 128;
constexpr double MAX_ENLARGE = 4;
constexpr Lettering NAME_STYLE = {INK, INK, 1.3, 0, false};
constexpr Lettering NOTE_STYLE = {rgb(30, 50, 100), INK, 1.2, 0, false};

// The record's full image rebuilt from the atlas: the packed part at its offset, the cut
// borders transparent.
cairo_surface_t* full_image_surface(const std::vector<uint8_t>& atlas, const ImageRecord& r) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, r.width, r.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < r.packed_height; ++y) {
        for (int x = 0; x < r.packed_width; ++x) {
            const uint8_t* in = &atlas[(static_cast<size_t>(r.atlas_y + y) * ATLAS_SIZE + r.atlas_x + x) * 4];
            const uint32_t word = premultiplied_argb({in[0], in[1], in[2], in[3]});
            std::memcpy(data + static_cast<std::ptrdiff_t>(y + r.offset_y) * stride + (x + r.offset_x) * 4,
                        &word, 4);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

double display_scale(const ImageRecord& r) {
    const double fit = std::min(PICTURE_WIDTH / r.width, PICTURE_HEIGHT / r.height);
    return fit >= 1 ? std::min(std::floor(fit), MAX_ENLARGE) : fit;
}

void paint_cell(cairo_t* cr, const std::vector<uint8_t>& atlas, const ImageRecord& r, double x, double y) {
    const double scale = display_scale(r);
    const double w = r.width * scale, h = r.height * scale;
    const double left = std::round(x + (CELL_WIDTH - w) / 2);
    const double top = std::round(y + 8 + (PICTURE_HEIGHT - h) / 2);
    // The full image box, faintly, so trimmed borders and offsets show.
    cairo_rectangle(cr, left - 0.5, top - 0.5, w + 1, h + 1);
    set_colour(cr, WHITE, 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_surface_t* image = full_image_surface(atlas, r);
    cairo_save(cr);
    cairo_translate(cr, left, top);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), scale >= 1 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(image);
    const double centre = x + CELL_WIDTH / 2.0;
    const double name_unit = std::min(1.4, lettering_unit(r.name, NAME_STYLE, CELL_WIDTH - 8, 20));
    lettering_at(cr, r.name, NAME_STYLE, name_unit, centre, y + CELL_HEIGHT - 30);
    char note[48];
    if (scale >= 1)
        std::snprintf(note, sizeof note, "%d X %d  SHOWN X%d", r.width, r.height, static_cast<int>(scale));
    else
        std::snprintf(note, sizeof note, "%d X %d  SHOWN X0.%02d", r.width, r.height,
                      static_cast<int>(scale * 100));
    lettering_at(cr, note, NOTE_STYLE, 1.0, centre, y + CELL_HEIGHT - 14);
}

} // namespace

SheetImage contact_sheet(const std::vector<uint8_t>& atlas) {
    const int rows = (ATLAS_IMAGE_COUNT + COLUMNS - 1) / COLUMNS;
    SheetImage sheet;
    sheet.width = 2 * MARGIN + COLUMNS * CELL_WIDTH;
    sheet.height = HEADER + rows * CELL_HEIGHT + MARGIN;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sheet.width, sheet.height);
    cairo_t* cr = cairo_create(surface);
    set_colour(cr, SKY);
    cairo_paint(cr);
    constexpr Lettering TITLE = {WHITE, INK, 1.4, 1.5, true};
    const std::string title = "QUIBBET ATLAS - " + std::to_string(ATLAS_IMAGE_COUNT) + " IMAGES";
    lettering_at(cr, title, TITLE, 3.2, sheet.width / 2.0, HEADER / 2.0 + 2);
    for (int i = 0; i < ATLAS_IMAGE_COUNT; ++i) {
        const double x = MARGIN + (i % COLUMNS) * CELL_WIDTH;
        const double y = HEADER + (i / COLUMNS) * CELL_HEIGHT;
        paint_cell(cr, atlas, atlas_images[i], x, y);
    }
    cairo_destroy(cr);
    sheet.rgba = surface_rgba(surface);
    cairo_surface_destroy(surface);
    return sheet;
}
