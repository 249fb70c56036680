#include "atlas_build.h"

#include "art.h"
#include "pixels.h"

#include "assets/atlas_images.h"

#include <cairo.h>
#include <cstddef>
#include <cstring>

FullImage render_full_image(const ImageRecord& record) {
    FullImage image;
    const Painter paint = art_find(record.name);
    if (!paint) return image;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, record.width, record.height);
    cairo_t* cr = cairo_create(surface);
    paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    image.width = record.width;
    image.height = record.height;
    image.argb.resize(static_cast<size_t>(record.width) * record.height);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < record.height; ++y)
        std::memcpy(&image.argb[static_cast<size_t>(y) * record.width],
                    data + static_cast<std::ptrdiff_t>(y) * stride, static_cast<size_t>(record.width) * 4);
    cairo_surface_destroy(surface);
    return image;
}

int texels_outside_packed(const FullImage& image, const ImageRecord& record) {
    int count = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const bool inside = x >= record.offset_x && x < record.offset_x + record.packed_width &&
                                y >= record.offset_y && y < record.offset_y + record.packed_height;
            if (!inside && image.argb[static_cast<size_t>(y) * image.width + x] != 0) ++count;
        }
    }
    return count;
}

std::vector<uint8_t> atlas_compose(std::string& error) {
    std::vector<uint8_t> atlas(static_cast<size_t>(ATLAS_SIZE) * ATLAS_SIZE * 4, 0);
    for (const ImageRecord& record : atlas_images) {
        const FullImage image = render_full_image(record);
        if (image.width == 0) {
            error += std::string("no painter for ") + record.name + "\n";
            continue;
        }
        if (const int spilled = texels_outside_packed(image, record); spilled > 0) {
            error += std::string(record.name) + ": " + std::to_string(spilled) +
                     " painted texels lie outside the packed rectangle\n";
            continue;
        }
        for (int y = 0; y < record.packed_height; ++y) {
            for (int x = 0; x < record.packed_width; ++x) {
                const uint32_t word =
                    image.argb[static_cast<size_t>(y + record.offset_y) * image.width + x + record.offset_x];
                const Rgba c = straight_rgba(word);
                uint8_t* out =
                    &atlas[(static_cast<size_t>(record.atlas_y + y) * ATLAS_SIZE + record.atlas_x + x) * 4];
                out[0] = c.r;
                out[1] = c.g;
                out[2] = c.b;
                out[3] = c.a;
            }
        }
    }
    if (!error.empty()) return {};
    return atlas;
}
