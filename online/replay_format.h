// The replay file: how one game began and every tick's input until the menu came back, so that
// game_tick can play it again exactly. Little-endian throughout:
//   "QBRP", format 2, the game's version (3 bytes), level, player count, who steers each slot
//   (two bits per slot, slot 0 lowest: a person, an easy, a normal or a hard computer), the scores at the
//   start (4 bytes), the starting tick (i32), the seed (u32), the ticks recorded after the starting one
//   (u32); then the ticks, run-length coded: a byte below 0x80 is that many + 1 ticks without a press, a byte
//   0x80 + n - 1 is one tick with n presses (1 to TICK_EVENTS), each a byte of click | (seat + 1) << 1 | (turn
//   + 1) << 4 | steering << 6 and the code (i16), and for a click x and y (i16); a steering entry is a room's
//   change of who steers the seat (code 1 the computer, 0 its person); last, the rules' checksum after the
//   final tick (u64).
// Reading checks everything and answers a damaged file or one of another version with one line.
// Portable; main thread only.
#pragma once
#include "game/board.h"
#include "game/computer_players.h"
#include "game/tick_input.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

constexpr int32_t REPLAY_FORMAT = 3;
// Who steers a slot (COMPUTER_NONE .. COMPUTER_HARD), as the header's byte holds it.
constexpr int32_t STRENGTH_BITS = 2;
constexpr int32_t STRENGTH_MASK = (1 << STRENGTH_BITS) - 1;
static_assert(COMPUTER_HARD <= STRENGTH_MASK && STRENGTH_BITS * PLAYER_SLOTS <= 8);
constexpr size_t REPLAY_HEADER_BYTES = 27;
constexpr size_t REPLAY_TRAILER_BYTES = 8;
// About seven hours of ticks, and far more bytes than a game of presses comes to: a file
// larger than this is refused as damaged, a recording that grows past it is not kept.
constexpr int32_t REPLAY_TICKS_MAX = 1 << 20;
constexpr size_t REPLAY_BYTES_MAX = 256 * 1024;
constexpr size_t REPLAY_MESSAGE_MAX = 160;

struct ReplayHeader {
    std::array<uint8_t, 3> version; // major, minor, patch of the game that recorded it
    int32_t level;
    int32_t player_count;
    std::array<int32_t, PLAYER_SLOTS> computers; // COMPUTER_NONE .. COMPUTER_HARD
    std::array<int32_t, PLAYER_SLOTS> scores;    // when the game began, 0 .. 255
    int32_t start_tick;                          // frame_count of the tick that started it
    uint32_t seed;
    int32_t ticks; // recorded after the starting tick
};

// This build's version, as a header carries it.
std::array<uint8_t, 3> replay_version();

// Writing, into a buffer of the caller's (no allocation).
struct ReplayWriter {
    std::array<uint8_t, REPLAY_BYTES_MAX> bytes;
    size_t size;
    int32_t ticks;
    int32_t empty_run; // ticks without a press not yet written
    bool overflowed;   // grew past REPLAY_BYTES_MAX or REPLAY_TICKS_MAX: not to be kept
};
void replay_write_begin(ReplayWriter& w, const ReplayHeader& header);
void replay_write_tick(ReplayWriter& w, const TickInput& input);
// The whole file, or an empty span when it overflowed.
std::span<const uint8_t> replay_write_finish(ReplayWriter& w, uint64_t final_checksum);

// Reading. replay_open checks the whole file; after it, replay_next gives the ticks in order.
struct ReplayReader {
    std::span<const uint8_t> bytes;
    size_t at;
    int32_t empty_left; // ticks of the current run without a press still to give
    int32_t ticks_left;
};
struct ReplayOpened {
    bool ok;
    char message[REPLAY_MESSAGE_MAX]; // why not, in one line, when !ok
    ReplayHeader header;
    uint64_t final_checksum;
    ReplayReader reader; // at the first tick
};
ReplayOpened replay_open(std::span<const uint8_t> bytes);

enum class ReplayStep { tick, end, damaged };
// The next tick's input (ReplayStep::tick); end after the last.
ReplayStep replay_next(ReplayReader& r, TickInput& input);
