// The play position's 32-bit count carried into 64 bits: across one wrap and the next, and never
// backwards when a reading is a little behind.
#include "platform/win32/wrapping_count.h"

#include <gtest/gtest.h>

#include <array>

namespace {

constexpr uint64_t WRAP = uint64_t{1} << 32;

struct Reading {
    const char* what;
    uint64_t last;
    uint32_t now;
    uint64_t extended;
};

constexpr std::array<Reading, 7> READINGS{{
    {"the first reading", 0, 19'200, 19'200},
    {"no movement", 19'200, 19'200, 19'200},
    {"just below the wrap", WRAP - 4'000, 0xFFFF'FFFC, WRAP - 4},
    {"across the wrap", WRAP - 100, 860, WRAP + 860},
    {"across the second wrap", 2 * WRAP - 4, 960, 2 * WRAP + 960},
    {"a little behind", 5'000, 4'990, 5'000},
    {"a little behind, across the wrap", WRAP + 5, 0xFFFF'FFF0, WRAP + 5},
}};

TEST(WrappingCount, ExtendsAcrossTheWrapAndNeverGoesBack) {
    for (const Reading& r : READINGS)
        EXPECT_EQ(wrapping_count_extend(r.last, r.now), r.extended) << r.what;
}

} // namespace
