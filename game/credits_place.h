// Where the credits picture goes: scaled by CREDITS_SCALE and centred a little above the
// board's middle. The arithmetic is done in extended precision (64-bit mantissa) with the
// scale as a double, then truncated toward zero: for the 400 x 320 picture the products come
// out a hair above 260 and 208, so the picture sits at (39, 21), one pixel up and left of what
// plain double arithmetic gives. The same on every compiler this game is built with; the
// static_assert stops one whose long double is narrower.
#pragma once
#include <cstdint>

constexpr double CREDITS_SCALE = 1.3;
constexpr long double CREDITS_CENTRE_X = 300, CREDITS_CENTRE_Y = 240, CREDITS_RAISE = 10;

struct CreditsPlace {
    int32_t x, y;
};

constexpr CreditsPlace credits_place(int32_t width, int32_t height) {
    const long double half_width = static_cast<long double>(width) * CREDITS_SCALE * 0.5L;
    const long double half_height = static_cast<long double>(height) * CREDITS_SCALE * 0.5L;
    return {static_cast<int32_t>(CREDITS_CENTRE_X - half_width),
            static_cast<int32_t>(CREDITS_CENTRE_Y - half_height - CREDITS_RAISE)};
}
static_assert(credits_place(400, 320).x == 39 && credits_place(400, 320).y == 21);
