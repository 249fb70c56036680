// A small module writer: builds module files in memory from plain descriptions, so that each test
// (and the song composer) makes exactly the music it needs. Writes packed or whole pattern cells,
// patterns stored empty, instruments with envelopes and automatic vibrato, 8-bit and 16-bit delta
// samples and 4-bit packed samples. Fields that tests want to get wrong on purpose (channel count,
// instrument header size, sample count, raw sample bytes) can be set directly. Names are cut to the
// widths the file gives them.
#pragma once
#include "audio/music/song.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace xm {

struct Envelope {
    std::vector<EnvelopePoint> points;
    uint8_t sustain = 0, loop_start = 0, loop_end = 0;
    uint8_t type = 0; // ENVELOPE_ON | ENVELOPE_SUSTAIN | ENVELOPE_LOOP
};

struct Sample {
    std::string name = "sample";
    std::vector<int16_t> points; // written as 8-bit (point >> 8) deltas unless bits16
    bool bits16 = false;
    uint8_t loop_type = 0;                    // 0 none, 1 forward, 2 ping-pong
    uint32_t loop_start = 0, loop_length = 0; // in points
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relative_note = 0;
    // When set, written verbatim as the sample's data; header_length then gives the header's
    // length field (in bytes, as the file stores it) and packing its reserved byte.
    std::vector<uint8_t> raw;
    uint32_t header_length = 0;
    uint8_t packing = 0;
    uint32_t header_loop_start_bytes = 0, header_loop_length_bytes = 0; // with raw
};

struct Instrument {
    std::string name = "instrument";
    std::vector<Sample> samples;
    std::array<uint8_t, KEYMAP_NOTES> keymap{}; // every note on sample 0 by default
    Envelope volume, panning;
    uint8_t vibrato_type = 0, vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
    uint16_t fadeout = 0;     // as the file stores it (the loader doubles it)
    uint32_t header_size = 0; // 0: 263 with samples, 33 without
    uint32_t sample_header_size = 40;
    int sample_count = -1; // -1: samples.size()
};

struct Pattern {
    int rows = 64;
    std::vector<Cell> cells; // rows x channels, filled by pattern()
    bool packed = true;      // mask-byte cells; false writes five bytes per cell
    bool stored_empty = false;
};

struct Module {
    std::string id = "Extended Module: ";
    std::string name = "test module", tracker = "quibbet tests";
    int channels = 4;
    uint16_t flags = MODULE_LINEAR_FREQUENCIES;
    uint16_t speed = 6, bpm = 125;
    uint16_t restart = 0;
    std::vector<uint8_t> orders{0};
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
    int song_length = -1;   // -1: orders.size()
    int pattern_count = -1; // -1: patterns.size()
};

inline Pattern pattern(const Module& module, int rows) {
    Pattern p;
    p.rows = rows;
    p.cells.assign(static_cast<size_t>(rows * module.channels), Cell{});
    return p;
}

inline Cell& cell(const Module& module, Pattern& p, int row, int channel) {
    return p.cells[static_cast<size_t>(row * module.channels + channel)];
}

// A looping tone sample: one cycle of a square wave of the given length and amplitude.
inline Sample square_sample(int length, int16_t amplitude, bool bits16 = true) {
    Sample s;
    s.bits16 = bits16;
    for (int i = 0; i < length; ++i)
        s.points.push_back(i < length / 2 ? amplitude : static_cast<int16_t>(-amplitude));
    s.loop_type = 1;
    s.loop_start = 0;
    s.loop_length = static_cast<uint32_t>(length);
    return s;
}

// 4-bit packed data: the delta table, then two nibbles a byte, low nibble first.
inline std::vector<uint8_t> pack_4bit(const std::array<int8_t, 16>& deltas,
                                      const std::vector<uint8_t>& nibbles) {
    std::vector<uint8_t> out(deltas.begin(), deltas.end());
    for (size_t i = 0; i < nibbles.size(); i += 2) {
        uint8_t high = i + 1 < nibbles.size() ? nibbles[i + 1] : 0;
        out.push_back(static_cast<uint8_t>((nibbles[i] & 15) | high << 4));
    }
    return out;
}

namespace detail {

inline void put8(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v));
}
inline void put16(std::vector<uint8_t>& out, unsigned v) {
    put8(out, v & 0xFF);
    put8(out, (v >> 8) & 0xFF);
}
inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
inline void put_text(std::vector<uint8_t>& out, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i)
        put8(out, i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

inline void put_pattern(std::vector<uint8_t>& out, const Pattern& p) {
    std::vector<uint8_t> data;
    if (!p.stored_empty) {
        for (const Cell& c : p.cells) {
            const uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
            if (p.packed) {
                uint8_t mask = 0x80;
                for (int f = 0; f < 5; ++f)
                    if (fields[f]) mask = static_cast<uint8_t>(mask | 1 << f);
                data.push_back(mask);
                for (int f = 0; f < 5; ++f)
                    if (fields[f]) data.push_back(fields[f]);
            } else {
                data.insert(data.end(), fields, fields + 5);
            }
        }
    }
    put32(out, 9);
    put8(out, 0);
    put16(out, static_cast<unsigned>(p.rows));
    put16(out, static_cast<unsigned>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

inline std::vector<uint8_t> sample_data(const Sample& s) {
    if (!s.raw.empty()) return s.raw;
    std::vector<uint8_t> data;
    int16_t previous = 0;
    for (int16_t point : s.points) {
        if (s.bits16) {
            put16(data, static_cast<uint16_t>(point - previous));
            previous = point;
        } else {
            auto byte = static_cast<int8_t>(point >> 8);
            put8(data, static_cast<uint8_t>(byte - static_cast<int8_t>(previous)));
            previous = byte;
        }
    }
    return data;
}

inline void put_sample_header(std::vector<uint8_t>& out, const Sample& s, uint32_t header_bytes) {
    std::vector<uint8_t> h;
    uint32_t unit = s.bits16 ? 2 : 1;
    bool raw = !s.raw.empty();
    put32(h, raw ? s.header_length : static_cast<uint32_t>(s.points.size()) * unit);
    put32(h, raw ? s.header_loop_start_bytes : s.loop_start * unit);
    put32(h, raw ? s.header_loop_length_bytes : s.loop_length * unit);
    put8(h, s.volume);
    put8(h, static_cast<uint8_t>(s.finetune));
    put8(h, static_cast<unsigned>(s.loop_type | (s.bits16 ? 0x10 : 0)));
    put8(h, s.panning);
    put8(h, static_cast<uint8_t>(s.relative_note));
    put8(h, s.packing);
    put_text(h, s.name, 22);
    h.resize(header_bytes, 0);
    out.insert(out.end(), h.begin(), h.end());
}

inline void put_envelope_points(std::vector<uint8_t>& out, const Envelope& e) {
    for (size_t i = 0; i < ENVELOPE_POINTS; ++i) {
        put16(out, i < e.points.size() ? e.points[i].tick : 0);
        put16(out, i < e.points.size() ? e.points[i].value : 0);
    }
}

inline void put_instrument(std::vector<uint8_t>& out, const Instrument& in) {
    int count = in.sample_count >= 0 ? in.sample_count : static_cast<int>(in.samples.size());
    std::vector<uint8_t> h;
    uint32_t size = in.header_size ? in.header_size : (count > 0 ? 263u : 33u);
    put32(h, size);
    put_text(h, in.name, 22);
    put8(h, 0);
    put16(h, static_cast<unsigned>(count));
    put32(h, in.sample_header_size);
    if (count > 0) {
        h.insert(h.end(), in.keymap.begin(), in.keymap.end());
        put_envelope_points(h, in.volume);
        put_envelope_points(h, in.panning);
        put8(h, static_cast<unsigned>(in.volume.points.size()));
        put8(h, static_cast<unsigned>(in.panning.points.size()));
        put8(h, in.volume.sustain);
        put8(h, in.volume.loop_start);
        put8(h, in.volume.loop_end);
        put8(h, in.panning.sustain);
        put8(h, in.panning.loop_start);
        put8(h, in.panning.loop_end);
        put8(h, in.volume.type);
        put8(h, in.panning.type);
        put8(h, in.vibrato_type);
        put8(h, in.vibrato_sweep);
        put8(h, in.vibrato_depth);
        put8(h, in.vibrato_rate);
        put16(h, in.fadeout);
    }
    h.resize(size, 0); // a header size below what was built cuts it, as a file would
    out.insert(out.end(), h.begin(), h.end());
    for (const Sample& s : in.samples)
        put_sample_header(out, s, in.sample_header_size);
    for (const Sample& s : in.samples) {
        std::vector<uint8_t> data = sample_data(s);
        out.insert(out.end(), data.begin(), data.end());
    }
}

} // namespace detail

inline std::vector<uint8_t> write(const Module& m) {
    using namespace detail;
    std::vector<uint8_t> out;
    put_text(out, m.id, 17);
    put_text(out, m.name, 20);
    put8(out, 0x1A);
    put_text(out, m.tracker, 20);
    put16(out, 0x0104);
    put32(out, 276);
    put16(out, static_cast<unsigned>(m.song_length >= 0 ? m.song_length : static_cast<int>(m.orders.size())));
    put16(out, m.restart);
    put16(out, static_cast<unsigned>(m.channels));
    put16(out, static_cast<unsigned>(m.pattern_count >= 0 ? m.pattern_count
                                                          : static_cast<int>(m.patterns.size())));
    put16(out, static_cast<unsigned>(m.instruments.size()));
    put16(out, m.flags);
    put16(out, m.speed);
    put16(out, m.bpm);
    for (size_t i = 0; i < MAX_ORDERS; ++i)
        put8(out, i < m.orders.size() ? m.orders[i] : 0);
    for (const Pattern& p : m.patterns)
        put_pattern(out, p);
    for (const Instrument& in : m.instruments)
        put_instrument(out, in);
    return out;
}

} // namespace xm
