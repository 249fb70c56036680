#include "game/computer_lookahead.h"

#include "game/players.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::array<int32_t, FACINGS> STEP_COL = {0, 1, 0, -1};
constexpr std::array<int32_t, FACINGS> STEP_ROW = {-1, 0, 1, 0};
// Straight first, so that of equal ways it keeps going.
constexpr std::array<int32_t, 3> TURNS = {0, TURN_LEFT, TURN_RIGHT};
// Room is the wear left in the tiles a few cells around the end of a way, reached over tiles.
constexpr int32_t ROOM_RADIUS = 3;
constexpr int32_t ROOM_CELLS = 1 + 2 * ROOM_RADIUS * (ROOM_RADIUS + 1);
constexpr std::array<int32_t, TILE_FRAGILE + 1> USES_LEFT = {0, 1, 2, 3, 4, 1}; // steel counts as 4
constexpr int32_t MOST_USES = 4;
// Stepping where another may also step, from a tile that breaks behind: a bounce would drop it.
// Or into a hole that only a bounce off another would keep it from.
constexpr double RISK = 0.5;
static_assert(1.0 - RISK > MAX_HUNCH);       // a risky step still beats a certain fall
static_assert(1.0 - RISK + MAX_HUNCH < 1.0); // and a hoped-for bounce never beats a sure step

struct Cell {
    int32_t col, row;
    bool operator==(const Cell&) const = default;
};

Cell ahead(Cell c, int32_t facing) {
    return {c.col + STEP_COL[facing], c.row + STEP_ROW[facing]};
}

int32_t turned(int32_t facing, int32_t turn) {
    return (facing + turn + FACINGS) % FACINGS;
}

bool deadly(const TileGrid& tiles, Cell c) {
    return !cell_on_board(c.col, c.row) || tiles[tile_index(c.col, c.row)] == TILE_HOLE;
}

// Wear left around a cell, over a breadth-first walk on tiles, as a share below ROOM_WEIGHT.
double room(const TileGrid& tiles, Cell from) {
    std::array<Cell, ROOM_CELLS> queue;
    std::array<uint8_t, BOARD_TILES> seen{};
    int32_t head = 0, tail = 0, uses = 0;
    queue[tail++] = from;
    seen[tile_index(from.col, from.row)] = 1;
    while (head < tail) {
        const Cell c = queue[head++];
        const uint8_t kind = tiles[tile_index(c.col, c.row)];
        uses += kind < USES_LEFT.size() ? USES_LEFT[kind] : MOST_USES;
        if (std::abs(c.col - from.col) + std::abs(c.row - from.row) == ROOM_RADIUS) continue;
        for (int32_t f = 0; f < FACINGS; ++f) {
            const Cell n = ahead(c, f);
            if (deadly(tiles, n) || seen[tile_index(n.col, n.row)]) continue;
            seen[tile_index(n.col, n.row)] = 1;
            queue[tail++] = n;
        }
    }
    return ROOM_WEIGHT * uses / (MOST_USES * ROOM_CELLS + 1);
}

// The tiles as the coming steps wear them, and the room around each cell as the decision began
// (the wear of the ways tried is left out of it, which keeps a decision quick).
struct Search {
    TileGrid tiles, at_start;
    std::array<double, BOARD_TILES> room_at;
    double room(Cell c) {
        double& r = room_at[tile_index(c.col, c.row)];
        if (r < 0) r = ::room(at_start, c);
        return r;
    }
};

// The best a player standing on `at`, having last faced `facing`, can do in `steps` more steps:
// the steps it survives, plus the room where the longest way ends.
double future(Search& search, Cell at, int32_t facing, int32_t steps) {
    if (steps == 0) return search.room(at);
    uint8_t& under = search.tiles[tile_index(at.col, at.row)];
    const uint8_t kept = under;
    under = tile_worn(under);
    double best = 0;
    for (int32_t turn : TURNS) {
        const int32_t f = turned(facing, turn);
        const Cell next = ahead(at, f);
        if (!deadly(search.tiles, next)) best = std::max(best, 1 + future(search, next, f, steps - 1));
    }
    under = kept;
    return best;
}

// Where another player will step: `likely` its way ahead, or the sides when ahead is deadly for
// it; `maybe` anywhere a turn could take it.
struct Guess {
    std::array<Cell, 3> likely, maybe;
    int32_t likely_count = 0, maybe_count = 0;
    bool likely_has(Cell c) const {
        return std::find(likely.begin(), likely.begin() + likely_count, c) != likely.begin() + likely_count;
    }
    bool maybe_has(Cell c) const {
        return std::find(maybe.begin(), maybe.begin() + maybe_count, c) != maybe.begin() + maybe_count;
    }
};

Guess guess(const TileGrid& tiles, const SeenPlayer& other) {
    Guess g;
    const Cell at{other.col, other.row};
    const Cell straight = ahead(at, other.heading);
    if (!deadly(tiles, straight)) g.likely[g.likely_count++] = straight;
    for (int32_t turn : TURNS) {
        const Cell c = ahead(at, turned(other.heading, turn));
        if (deadly(tiles, c)) continue;
        g.maybe[g.maybe_count++] = c;
        if (turn != 0 && deadly(tiles, straight)) g.likely[g.likely_count++] = c;
    }
    return g;
}

} // namespace

int32_t lookahead_choose(const Sight& sight, int32_t me, int32_t last_facing, const Judgement& judgement) {
    // The step begins by wearing the tile under every player standing.
    Search search;
    TileGrid& tiles = search.tiles;
    tiles = sight.tiles;
    search.room_at.fill(-1);
    for (int32_t p = 0; p < sight.player_count; ++p) {
        const SeenPlayer& s = sight.players[p];
        if (s.standing && cell_on_board(s.col, s.row))
            tiles[tile_index(s.col, s.row)] = tile_worn(tiles[tile_index(s.col, s.row)]);
    }
    search.at_start = tiles;
    const Cell here{sight.players[me].col, sight.players[me].row};
    if (!cell_on_board(here.col, here.row)) return last_facing;
    std::array<Guess, PLAYER_SLOTS> guesses;
    for (int32_t p = 0; p < sight.player_count; ++p)
        if (p != me && sight.players[p].standing) guesses[p] = guess(tiles, sight.players[p]);
    const bool broken_behind = deadly(tiles, here);

    int32_t best_facing = last_facing;
    double best = -1;
    for (size_t i = 0; i < TURNS.size(); ++i) {
        const int32_t f = turned(last_facing, TURNS[i]);
        const Cell target = ahead(here, f);
        bool bounce = false, risky = false;
        for (int32_t p = 0; p < sight.player_count; ++p) {
            const SeenPlayer& other = sight.players[p];
            if (p == me || !other.standing) continue;
            const Cell there{other.col, other.row};
            bounce =
                bounce || guesses[p].likely_has(target) || (target == there && guesses[p].likely_has(here));
            risky = risky || guesses[p].maybe_has(target) || target == there;
        }
        double value;
        if (bounce && deadly(tiles, target))
            // It lives only if the other does come (and it may turn away): below every way
            // that lives whatever the others do, above a certain fall.
            value = broken_behind ? 0 : 1 - RISK;
        else if (bounce)
            value = broken_behind ? 0 : 1 + future(search, here, f, judgement.steps - 1);
        else if (deadly(tiles, target))
            value = 0;
        else
            value = 1 + future(search, target, f, judgement.steps - 1) - (risky && broken_behind ? RISK : 0);
        value += judgement.hunches[i];
        if (value > best) {
            best = value;
            best_facing = f;
        }
    }
    return best_facing;
}
