#include "paint.h"

#include "glyphs.h"
#include "pixels.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void set_colour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void rounded_rect_path(cairo_t* cr, double x, double y, double w, double h, double r) {
    constexpr double QUARTER = 1.5707963267948966;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -QUARTER, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, QUARTER);
    cairo_arc(cr, x + r, y + h - r, r, QUARTER, 2 * QUARTER);
    cairo_arc(cr, x + r, y + r, r, 2 * QUARTER, 3 * QUARTER);
    cairo_close_path(cr);
}

void polygon_path(cairo_t* cr, const double* xy, int points) {
    cairo_move_to(cr, xy[0], xy[1]);
    for (int i = 1; i < points; ++i)
        cairo_line_to(cr, xy[2 * i], xy[2 * i + 1]);
    cairo_close_path(cr);
}

void fill_lit(cairo_t* cr, Rgb base, double x0, double y0, double x1, double y1) {
    cairo_pattern_t* shade = cairo_pattern_create_linear(x0, y0, x1, y1);
    const Rgb light = lighter(base, 0.28);
    const Rgb dark = darker(base, 0.18);
    cairo_pattern_add_color_stop_rgb(shade, 0.0, light.r, light.g, light.b);
    cairo_pattern_add_color_stop_rgb(shade, 0.45, base.r, base.g, base.b);
    cairo_pattern_add_color_stop_rgb(shade, 1.0, dark.r, dark.g, dark.b);
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
}

void outline(cairo_t* cr, double width) {
    set_colour(cr, INK);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void gloss(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha) {
    cairo_save(cr);
    cairo_translate(cr, cx - rx * 0.3, cy - ry * 0.38);
    cairo_scale(cr, rx * 0.5, ry * 0.36);
    cairo_pattern_t* sheen = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1, alpha);
    cairo_pattern_add_color_stop_rgba(sheen, 1, 1, 1, 1, 0);
    cairo_set_source(cr, sheen);
    cairo_arc(cr, 0, 0, 1, 0, 6.283185307179586);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);
    cairo_restore(cr);
}

double lettering_unit(std::string_view text, const Lettering& style, double w, double h) {
    // Extent in pixels is units * u + stroke * u + 2 * edge in each direction.
    const double across = text_units_width(text) + style.stroke;
    const double down = CAP_UNITS + style.stroke;
    return std::min((w - 2 * style.edge_width) / across, (h - 2 * style.edge_width) / down);
}

void lettering_at(cairo_t* cr, std::string_view text, const Lettering& style, double unit, double cx,
                  double cy) {
    const double left = cx - text_units_width(text) * unit / 2;
    const double top = cy - CAP_UNITS * unit / 2;
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_new_path(cr);
    text_path(cr, text, left, top, unit);
    if (style.edge_width > 0) {
        set_colour(cr, style.edge);
        cairo_set_line_width(cr, style.stroke * unit + 2 * style.edge_width);
        cairo_stroke_preserve(cr);
    }
    if (style.shade) {
        cairo_pattern_t* shade = cairo_pattern_create_linear(0, top, 0, top + CAP_UNITS * unit);
        const Rgb light = lighter(style.fill, 0.35);
        const Rgb dark = darker(style.fill, 0.15);
        cairo_pattern_add_color_stop_rgb(shade, 0, light.r, light.g, light.b);
        cairo_pattern_add_color_stop_rgb(shade, 0.5, style.fill.r, style.fill.g, style.fill.b);
        cairo_pattern_add_color_stop_rgb(shade, 1, dark.r, dark.g, dark.b);
        cairo_set_source(cr, shade);
        cairo_set_line_width(cr, style.stroke * unit);
        cairo_stroke(cr);
        cairo_pattern_destroy(shade);
    } else {
        set_colour(cr, style.fill);
        cairo_set_line_width(cr, style.stroke * unit);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void lettering_fit(cairo_t* cr, std::string_view text, const Lettering& style, double x, double y, double w,
                   double h) {
    lettering_at(cr, text, style, lettering_unit(text, style, w, h), x + w / 2, y + h / 2);
}

std::vector<uint8_t> surface_rgba(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface),
              height = cairo_image_surface_get_height(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t word;
            std::memcpy(&word, data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, 4);
            const Rgba c = straight_rgba(word);
            uint8_t* out = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            out[0] = c.r;
            out[1] = c.g;
            out[2] = c.b;
            out[3] = c.a;
        }
    }
    return rgba;
}
