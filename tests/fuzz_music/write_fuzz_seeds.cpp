// Writes the fuzzer's starting modules into a folder: the 16-channel test song, and small songs
// that reach the rarer paths (4-bit packed and 16-bit samples, ping-pong loops, the period table,
// unpacked cells, a pattern stored empty, orders naming missing patterns, a row of effects).
#include "music_mixer/demo_song.h"

#include <cstdio>
#include <string>

namespace {
bool save(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

xm::Module effects_song() {
    xm::Module m;
    m.channels = 3;
    m.flags = 0; // period table
    m.instruments.push_back(demo::instrument(demo::pad(300), 100));
    xm::Instrument packed;
    xm::Sample s;
    s.raw = xm::pack_4bit({0, 1, 2, 4, 8, 16, 32, 64, -64, -32, -16, -8, -4, -2, -1, 0},
                          {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 3, 3, 9, 9});
    s.header_length = 20;
    s.packing = 0xAD;
    packed.samples.push_back(s);
    m.instruments.push_back(packed);
    xm::Pattern p = xm::pattern(m, 32);
    p.packed = false;
    for (int row = 0; row < 32; ++row)
        for (int c = 0; c < 3; ++c) {
            Cell& cell = xm::cell(m, p, row, c);
            cell.note = static_cast<uint8_t>(30 + row + c);
            cell.instrument = static_cast<uint8_t>(1 + (row + c) % 2);
            cell.volume = static_cast<uint8_t>(0x10 + 16 * ((row + c) % 15));
            cell.effect = static_cast<uint8_t>((row * 3 + c) % 34);
            cell.param = static_cast<uint8_t>(row * 37 + c * 11);
        }
    m.patterns.push_back(p);
    xm::Pattern empty = xm::pattern(m, 16);
    empty.stored_empty = true;
    m.patterns.push_back(empty);
    m.orders = {0, 1, 5, 0};
    return m;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: write_fuzz_seeds DIR\n", stderr);
        return 2;
    }
    const std::string dir = argv[1];
    xm::Module tiny;
    tiny.channels = 1;
    tiny.instruments.push_back(demo::instrument(demo::sine(16, 8000), 50));
    tiny.patterns.push_back(xm::pattern(tiny, 4));
    xm::cell(tiny, tiny.patterns[0], 0, 0) = Cell{49, 1, 0, 0, 0};
    const bool ok = save(dir + "/demo.xm", demo::file()) &&
                    save(dir + "/effects.xm", xm::write(effects_song())) &&
                    save(dir + "/tiny.xm", xm::write(tiny));
    return ok ? 0 : 1;
}
