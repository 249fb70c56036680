// Sprite layouts: a stream of 33-byte records with no header. An image record (type 1) names
// the atlas image for the placement records (type 2) that follow it; each placement appends
// one visible sprite to the pool. Other types and a short tail are skipped. Main thread only.
#pragma once
#include <cstdint>
#include <span>

constexpr int LAYOUT_RECORD_SIZE = 33;
constexpr uint8_t LAYOUT_IMAGE = 1;
constexpr uint8_t LAYOUT_PLACEMENT = 2;

struct LayoutRecord {
    uint8_t type;
    uint8_t
        payload[LAYOUT_RECORD_SIZE - 1]; // image: NUL-padded name; placement: x, y, scale, rotation, filler
};
static_assert(sizeof(LayoutRecord) == LAYOUT_RECORD_SIZE);

// Appends one sprite per placement record, in record order, from the current sprite_count on.
// Placements that find the pool full are dropped.
void layout_read(std::span<const uint8_t> data);
