#include "audio/music/sample_decoder.h"

#include "audio/music/arena.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

constexpr uint8_t SAMPLE_TYPE_16BIT = 0x10;
constexpr uint8_t SAMPLE_TYPE_LOOP_MASK = 0x03;
constexpr int PACKED_DELTA_TABLE_BYTES = 16;

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
}

// 4-bit packed: each nibble picks a signed 8-bit delta from a table; the running 8-bit value
// becomes the point. An odd length leaves one extra point in the spare room.
void read_packed_points(ModuleSource& source, std::span<int16_t> points, int32_t length) {
    std::array<int8_t, PACKED_DELTA_TABLE_BYTES> deltas{};
    source_read(source, deltas.data(), PACKED_DELTA_TABLE_BYTES);
    auto byte_count = static_cast<uint32_t>((length + 1) / 2);
    // The packed bytes fit in the upper half of the point area and are consumed from the
    // front, always ahead of the points written.
    auto* raw = reinterpret_cast<uint8_t*>(points.data()) + points.size_bytes() - byte_count;
    source_read(source, raw, byte_count);
    int8_t value = 0;
    for (uint32_t i = 0; i < byte_count; ++i) {
        uint8_t byte = raw[i];
        value = static_cast<int8_t>(value + deltas[byte & 0x0F]);
        points[2 * i] = static_cast<int16_t>(value * 256);
        value = static_cast<int8_t>(value + deltas[byte >> 4]);
        points[2 * i + 1] = static_cast<int16_t>(value * 256);
    }
}

void read_delta_points(ModuleSource& source, std::span<int16_t> points, int32_t length, bool is_16bit) {
    auto* raw = reinterpret_cast<uint8_t*>(points.data());
    auto count = static_cast<size_t>(length);
    if (is_16bit) {
        source_read(source, raw, static_cast<uint32_t>(2 * count));
        for (size_t i = 0; i < count; ++i)
            points[i] = static_cast<int16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
    } else {
        source_read(source, raw, static_cast<uint32_t>(count));
        // Backwards, so that no byte is overwritten before it is widened.
        for (size_t i = count; i-- > 0;)
            points[i] = static_cast<int16_t>(static_cast<int8_t>(raw[i]) * 256);
    }
    int16_t previous = 0;
    for (size_t i = 0; i < count; ++i) {
        previous = static_cast<int16_t>(previous + points[i]);
        points[i] = previous;
    }
}

} // namespace

SampleRecord* sample_from_header(std::span<const uint8_t, 40> raw) {
    // Widened to 64 bits so that huge file values compare as the unsigned counts they are.
    int64_t length = le32(&raw[0]);
    int64_t loop_start = le32(&raw[4]);
    int64_t loop_length = le32(&raw[8]);
    uint8_t type = raw[14];
    bool is_16bit = (type & SAMPLE_TYPE_16BIT) != 0;
    if (is_16bit) {
        length /= 2;
        loop_start /= 2;
        loop_length /= 2;
    }
    if (length >= MAX_SAMPLE_POINTS) return nullptr;
    loop_start = std::min(loop_start, length);
    loop_length = std::min(loop_length, length - loop_start);
    uint8_t loop_type = type & SAMPLE_TYPE_LOOP_MASK;
    if (loop_type > SAMPLE_LOOP_PING_PONG) loop_type = SAMPLE_LOOP_PING_PONG; // both bits: ping-pong too
    if (loop_type == SAMPLE_LOOP_NONE || loop_length == 0) {
        loop_start = 0;
        loop_type = SAMPLE_LOOP_NONE;
        loop_length = length;
    }
    size_t bytes =
        offsetof(SampleRecord, data) + sizeof(int16_t) * static_cast<size_t>(length + SAMPLE_SPARE_POINTS);
    auto* sample = static_cast<SampleRecord*>(arena_alloc(bytes));
    if (!sample) return nullptr;
    sample->length = static_cast<int32_t>(length);
    sample->loop_start = static_cast<int32_t>(loop_start);
    sample->loop_length = static_cast<int32_t>(loop_length);
    sample->volume = std::min(raw[12], static_cast<uint8_t>(FULL_VOLUME));
    sample->finetune = static_cast<int8_t>(raw[13]);
    sample->is_16bit = is_16bit ? 1 : 0;
    sample->panning = raw[15];
    sample->relative_note = static_cast<int8_t>(raw[16]);
    sample->packing = raw[17];
    sample->loop_type = loop_type;
    return sample;
}

void read_sample_points(ModuleSource& source, SampleRecord& sample) {
    std::span<int16_t> points = sample_points(sample);
    if (sample.packing == SAMPLE_PACKED_4BIT)
        read_packed_points(source, points, sample.length);
    else
        read_delta_points(source, points, sample.length, sample.is_16bit != 0);
    size_t guard = static_cast<size_t>(sample.loop_start) + static_cast<size_t>(sample.loop_length);
    if (sample.loop_type == SAMPLE_LOOP_PING_PONG)
        points[guard] = points[guard - 1];
    else if (sample.loop_type == SAMPLE_LOOP_FORWARD)
        points[guard] = points[static_cast<size_t>(sample.loop_start)];
}
