// The device's play position is a 32-bit count that wraps (bytes: every 4 GiB, 6.2 hours of
// 48,000 Hz stereo); the music thread compares it with 64-bit totals, so it is extended here.
// Plain arithmetic without any system header, so that it is tested on every platform.
#pragma once
#include <cstdint>

// The 64-bit count that follows `last` when the 32-bit counter reads `now`: it moved by the
// signed 32-bit difference of the low words, which holds across a wrap as long as the counter
// is read at least once every 2^31 units (the music thread reads it every few milliseconds).
// A reading a little behind the last one (a driver's jitter) keeps `last`: the count never
// goes back.
constexpr uint64_t wrapping_count_extend(uint64_t last, uint32_t now) {
    const auto step = static_cast<int32_t>(now - static_cast<uint32_t>(last));
    return step > 0 ? last + static_cast<uint64_t>(step) : last;
}
