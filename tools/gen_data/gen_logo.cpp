// Writes logo_layout.bin: the title screen spelled in small fragile tiles, one image record naming
// "tile005.png" and then one placement record per tile (scale 0.4, rotation 0).
// The letters are drawn as strokes (straight lines and elliptic arcs) in screen pixels, and tiles are
// laid along each stroke at an even pitch well under the tile size (25.6 px at scale 0.4), so they overlap
// into solid, rounded letter shapes. Coordinates are the tiles' top-left corners, as the records store them.
#include "output_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

constexpr int RECORD_BYTES = 33;
constexpr uint8_t IMAGE_RECORD = 1;
constexpr uint8_t PLACEMENT_RECORD = 2;
constexpr size_t NAME_BYTES = 32;
constexpr char TILE_IMAGE[] = "tile005.png";
static_assert(sizeof TILE_IMAGE <= NAME_BYTES, "the name and its terminator fit the record");
constexpr float TILE_SCALE = 0.4f;
constexpr int TILE_COUNT = 158;
// Steps used to measure a stroke's length and to find evenly spaced points along it.
constexpr int STROKE_STEPS = 512;
// Distance between neighbouring tiles along a stroke; 158 tiles spell the title at this pitch.
constexpr double TILE_PITCH = 17.0;

struct Point {
    double x, y;
};

// A line from `from` to `to`, or (when arc) an elliptic arc about `from` with radii `to`, running from
// angle a0 to a1 in degrees: 0 points right and 90 points down the screen.
struct Stroke {
    bool arc;
    Point from, to;
    double a0, a1;
};

constexpr Stroke line(double x0, double y0, double x1, double y1) {
    return {false, {x0, y0}, {x1, y1}, 0, 0};
}
constexpr Stroke arc(double cx, double cy, double rx, double ry, double a0, double a1) {
    return {true, {cx, cy}, {rx, ry}, a0, a1};
}

Point stroke_at(const Stroke& s, double t) {
    if (!s.arc) return {s.from.x + (s.to.x - s.from.x) * t, s.from.y + (s.to.y - s.from.y) * t};
    const double a = (s.a0 + (s.a1 - s.a0) * t) * std::numbers::pi / 180.0;
    return {s.from.x + s.to.x * std::cos(a), s.from.y + s.to.y * std::sin(a)};
}

struct Glyph {
    std::vector<Stroke> strokes;
};

using Line = std::vector<Glyph>;

// QUIBBET: tiles between x 31 and 541, y 65 and 185. The first tile laid is the Q's at (75, 100).
Line name_line() {
    return {{
        {{line(75, 100, 75, 148), arc(53, 148, 22, 22, 0, 180), line(31, 148, 31, 87),
          arc(53, 87, 22, 22, 180, 360), line(75, 87, 75, 100), line(69, 164, 95, 185)}},
        {{line(120, 65, 120, 163), arc(142, 163, 22, 22, 180, 0), line(164, 163, 164, 65)}},
        {{line(201, 65, 201, 185)}},
        {{line(238, 185, 238, 65), line(238, 65, 254, 65), arc(254, 95, 27, 30, 270, 450),
          line(254, 125, 238, 125), arc(256, 155, 29, 30, 270, 450), line(256, 185, 238, 185)}},
        {{line(322, 185, 322, 65), line(322, 65, 338, 65), arc(338, 95, 27, 30, 270, 450),
          line(338, 125, 322, 125), arc(340, 155, 29, 30, 270, 450), line(340, 185, 322, 185)}},
        {{line(445, 65, 405, 65), line(405, 65, 405, 185), line(405, 185, 445, 185),
          line(405, 125, 437, 125)}},
        {{line(482, 65, 541, 65), line(511, 65, 511, 185)}},
    }};
}

// 2013: tiles between x 109 and 410, y 243 and 337.
Line year_line() {
    return {{
        {{arc(137, 271, 28, 28, 195, 390), line(163, 285, 109, 337), line(109, 337, 165, 337)}},
        {{line(202, 268, 202, 312), arc(227, 312, 25, 25, 180, 0), line(252, 312, 252, 268),
          arc(227, 268, 25, 25, 360, 180)}},
        {{line(289, 262, 311, 243), line(311, 243, 311, 337)}},
        {{arc(382, 266, 26, 23, 200, 450), arc(382, 313, 28, 24, 270, 520)}},
    }};
}

// Lays tiles along every stroke of a glyph, skipping any that would land on one already laid (where
// strokes meet).
void lay_glyph(const Glyph& glyph, std::vector<Point>& tiles) {
    const size_t glyph_start = tiles.size();
    for (const Stroke& s : glyph.strokes) {
        std::array<double, STROKE_STEPS + 1> travelled{};
        for (int i = 1; i <= STROKE_STEPS; ++i) {
            const Point a = stroke_at(s, double(i - 1) / STROKE_STEPS),
                        b = stroke_at(s, double(i) / STROKE_STEPS);
            travelled[i] = travelled[i - 1] + std::hypot(b.x - a.x, b.y - a.y);
        }
        const double length = travelled[STROKE_STEPS];
        const int gaps = std::max(1, static_cast<int>(std::lround(length / TILE_PITCH)));
        int step = 0;
        for (int k = 0; k <= gaps; ++k) {
            const double wanted = length * k / gaps;
            while (step < STROKE_STEPS && travelled[step] < wanted)
                ++step;
            const Point p = stroke_at(s, double(step) / STROKE_STEPS);
            bool taken = false;
            for (size_t i = glyph_start; i < tiles.size(); ++i)
                taken = taken || std::hypot(tiles[i].x - p.x, tiles[i].y - p.y) < TILE_PITCH * 0.6;
            if (!taken) tiles.push_back(p);
        }
    }
}

void put_u32(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

int main(int argc, char** argv) {
    const char* directory = output_directory(argc, argv);
    if (!directory) return 2;

    std::vector<Point> tiles;
    for (const Line& l : {name_line(), year_line()})
        for (const Glyph& g : l)
            lay_glyph(g, tiles);
    if (tiles.size() != TILE_COUNT) {
        std::fprintf(stderr, "the lettering has %zu tiles, not %d\n", tiles.size(), TILE_COUNT);
        return 1;
    }

    std::vector<uint8_t> layout((1 + tiles.size()) * RECORD_BYTES, 0);
    layout[0] = IMAGE_RECORD;
    std::memcpy(&layout[1], TILE_IMAGE, sizeof TILE_IMAGE);
    // Placements: x, y, scale, rotation; the 16 filler bytes that end each record stay zero.
    for (size_t i = 0; i < tiles.size(); ++i) {
        uint8_t* record = &layout[(1 + i) * RECORD_BYTES];
        record[0] = PLACEMENT_RECORD;
        put_u32(record + 1, static_cast<uint32_t>(std::lround(tiles[i].x)));
        put_u32(record + 5, static_cast<uint32_t>(std::lround(tiles[i].y)));
        put_u32(record + 9, std::bit_cast<uint32_t>(TILE_SCALE));
        put_u32(record + 13, std::bit_cast<uint32_t>(0.0f));
    }
    return write_output(directory, "logo_layout.bin", layout) ? 0 : 1;
}
