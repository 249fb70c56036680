// A busy 16-channel test song built in code, at the game song's tempo (speed 4, 250 BPM):
// four instruments (a sine lead with vibrato, a square bass, a decaying noise hit and a ping-pong
// pad, with envelopes and fade-out) over four patterns in eight orders, about 20 seconds. Used by
// the benchmark, the fuzz seeds and the end-to-end playback test.
#pragma once
#include "tools/xm_writer/xm_writer.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace demo {

inline xm::Sample sine(int length, double amplitude) {
    xm::Sample s;
    s.bits16 = true;
    for (int i = 0; i < length; ++i)
        s.points.push_back(
            static_cast<int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * i / length))));
    s.loop_type = 1;
    s.loop_length = static_cast<uint32_t>(length);
    return s;
}

// A fixed pseudo-random hit: the same bytes on every run.
inline xm::Sample noise_hit(int length) {
    xm::Sample s;
    uint32_t state = 12345;
    for (int i = 0; i < length; ++i) {
        state = state * 1103515245u + 12345u;
        const double decay = 1.0 - static_cast<double>(i) / length;
        s.points.push_back(static_cast<int16_t>((static_cast<int>((state >> 16) % 40000) - 20000) * decay));
    }
    return s; // 8-bit, no loop
}

inline xm::Sample pad(int length) {
    xm::Sample s;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / length;
        s.points.push_back(static_cast<int16_t>(std::lround(9000 * std::sin(2 * std::numbers::pi * 3 * t) +
                                                            4000 * std::sin(2 * std::numbers::pi * 7 * t))));
    }
    s.loop_type = 2;
    s.loop_start = static_cast<uint32_t>(length / 4);
    s.loop_length = static_cast<uint32_t>(length / 2);
    return s;
}

inline xm::Instrument instrument(const xm::Sample& sample, uint16_t fadeout) {
    xm::Instrument in;
    in.samples.push_back(sample);
    in.samples.back().volume = 20; // sixteen voices together stay below full scale
    in.volume.points = {{0, 64}, {8, 48}, {40, 32}, {120, 0}};
    in.volume.type = ENVELOPE_ON | ENVELOPE_SUSTAIN;
    in.volume.sustain = 2;
    in.panning.points = {{0, 16}, {60, 48}};
    in.panning.type = ENVELOPE_ON;
    in.fadeout = fadeout;
    return in;
}

inline xm::Module song() {
    xm::Module m;
    m.channels = 16;
    m.speed = 4;
    m.bpm = 250;
    m.instruments.push_back(instrument(sine(64, 16000), 400));
    m.instruments.back().vibrato_depth = 6;
    m.instruments.back().vibrato_rate = 24;
    m.instruments.back().vibrato_sweep = 20;
    m.instruments.push_back(instrument(xm::square_sample(32, 9000), 300));
    m.instruments.push_back(instrument(noise_hit(1500), 1000));
    m.instruments.push_back(instrument(pad(2000), 200));
    static constexpr uint8_t scale[] = {0, 2, 4, 5, 7, 9, 11, 12};
    static constexpr uint8_t band[] = {1, 2, 4, 1, 2, 4, 1, 3}; // lead, bass, pad, ..., the hit last
    for (int p = 0; p < 4; ++p) {
        xm::Pattern pattern = xm::pattern(m, 64);
        for (int c = 0; c < m.channels; ++c) {
            const int every = 2 + (c * 3 + p) % 7;
            const uint8_t instrument = band[c % 8];
            for (int row = (c % 3); row < 64; row += every) {
                Cell& cell = xm::cell(m, pattern, row, c);
                cell.note = static_cast<uint8_t>(25 + 12 * (c % 4) + scale[(row / every + c + p) % 8]);
                cell.instrument = instrument;
                if (row % 16 == 8) cell.note = NOTE_KEY_OFF;
                if (c % 5 == 1) {
                    cell.effect = 0x0;
                    cell.param = 0x37;
                } // arpeggio
                if (c % 5 == 2) {
                    cell.effect = 0xA;
                    cell.param = 0x02;
                } // volume slide down
                if (c % 5 == 3 && row > 0) {
                    cell.effect = 0x3;
                    cell.param = 0x20;
                } // tone portamento
            }
        }
        m.patterns.push_back(pattern);
    }
    m.orders = {0, 1, 2, 3, 1, 2, 0, 3};
    return m;
}

inline std::vector<uint8_t> file() {
    return xm::write(song());
}

} // namespace demo
