// Conversions between Cairo's premultiplied native-endian ARGB words and the straight RGBA
// bytes of a PNG. Fully transparent texels come out as R = G = B = A = 0, which the renderer's
// edge filtering relies on.
#pragma once
#include <cstdint>

struct Rgba {
    uint8_t r, g, b, a;
};

constexpr uint8_t unpremultiply(uint32_t channel, uint32_t alpha) {
    const uint32_t straight = (channel * 255 + alpha / 2) / alpha;
    return static_cast<uint8_t>(straight > 255 ? 255 : straight);
}

constexpr Rgba straight_rgba(uint32_t argb) {
    const uint32_t a = argb >> 24;
    if (a == 0) return {0, 0, 0, 0};
    return {unpremultiply((argb >> 16) & 0xFF, a), unpremultiply((argb >> 8) & 0xFF, a),
            unpremultiply(argb & 0xFF, a), static_cast<uint8_t>(a)};
}

constexpr uint32_t premultiplied_argb(Rgba c) {
    auto scale = [&](uint32_t v) { return (v * c.a + 127) / 255; };
    return (uint32_t{c.a} << 24) | (scale(c.r) << 16) | (scale(c.g) << 8) | scale(c.b);
}
