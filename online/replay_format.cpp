#include "online/replay_format.h"

#include "game/players.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::array<uint8_t, 4> MAGIC = {'Q', 'B', 'R', 'P'};
constexpr size_t TICKS_AT = REPLAY_HEADER_BYTES - 4; // patched when the recording ends
constexpr int32_t LONGEST_RUN = 0x80;                // ticks without a press in one byte
constexpr uint8_t PRESSES = 0x80;                    // and up: a tick with presses
constexpr int32_t SCORE_MAX = 255;

void put(ReplayWriter& w, uint8_t b) {
    if (w.size >= w.bytes.size()) {
        w.overflowed = true;
        return;
    }
    w.bytes[w.size++] = b;
}
void put16(ReplayWriter& w, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    put(w, static_cast<uint8_t>(u));
    put(w, static_cast<uint8_t>(u >> 8));
}
void put32(ReplayWriter& w, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        put(w, static_cast<uint8_t>(v >> shift));
}

void runs_flush(ReplayWriter& w) {
    while (w.empty_run > 0) {
        const int32_t n = w.empty_run < LONGEST_RUN ? w.empty_run : LONGEST_RUN;
        put(w, static_cast<uint8_t>(n - 1));
        w.empty_run -= n;
    }
}

// Bounds-checked little-endian reading.
struct Cursor {
    std::span<const uint8_t> bytes;
    size_t at;
    bool left(size_t n) const { return bytes.size() - at >= n; }
    uint8_t u8() { return bytes[at++]; }
    int16_t i16() {
        const auto v = static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
        at += 2;
        return static_cast<int16_t>(v);
    }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
        at += 4;
        return v;
    }
};

ReplayOpened refused(const char* format, ...) {
    ReplayOpened r{};
    va_list args;
    va_start(args, format);
    std::vsnprintf(r.message, sizeof r.message, format, args);
    va_end(args);
    return r;
}

} // namespace

std::array<uint8_t, 3> replay_version() {
    return {QUIBBET_VERSION_MAJOR, QUIBBET_VERSION_MINOR, QUIBBET_VERSION_PATCH};
}

void replay_write_begin(ReplayWriter& w, const ReplayHeader& h) {
    w.size = 0;
    w.ticks = 0;
    w.empty_run = 0;
    w.overflowed = false;
    for (uint8_t b : MAGIC)
        put(w, b);
    put(w, REPLAY_FORMAT);
    for (uint8_t b : h.version)
        put(w, b);
    put(w, static_cast<uint8_t>(h.level));
    put(w, static_cast<uint8_t>(h.player_count));
    uint8_t computers = 0;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        computers |= static_cast<uint8_t>((h.computers[slot] & STRENGTH_MASK) << (STRENGTH_BITS * slot));
    put(w, computers);
    for (int32_t score : h.scores)
        put(w, static_cast<uint8_t>(score < 0 ? 0 : score > SCORE_MAX ? SCORE_MAX : score));
    put32(w, static_cast<uint32_t>(h.start_tick));
    put32(w, h.seed);
    put32(w, 0); // the ticks, once known
}

void replay_write_tick(ReplayWriter& w, const TickInput& input) {
    if (++w.ticks > REPLAY_TICKS_MAX) w.overflowed = true;
    if (w.overflowed) return;
    if (input.count <= 0) {
        ++w.empty_run;
        return;
    }
    runs_flush(w);
    const int32_t count = input.count < TICK_EVENTS ? input.count : TICK_EVENTS;
    put(w, static_cast<uint8_t>(PRESSES + count - 1));
    for (int32_t i = 0; i < count; ++i) {
        const TickEvent& e = input.events[static_cast<size_t>(i)];
        const bool click = e.kind == EVENT_MOUSE_BUTTON, steering = e.kind == TICK_STEERING;
        put(w, static_cast<uint8_t>((click ? 1 : 0) | (e.seat + 1) << 1 | (e.turn + 1) << 4 | (steering ? 1 : 0) << 6));
        put16(w, e.code);
        if (click) {
            put16(w, e.x);
            put16(w, e.y);
        }
    }
}

std::span<const uint8_t> replay_write_finish(ReplayWriter& w, uint64_t final_checksum) {
    runs_flush(w);
    put32(w, static_cast<uint32_t>(final_checksum));
    put32(w, static_cast<uint32_t>(final_checksum >> 32));
    if (w.overflowed) return {};
    for (int i = 0; i < 4; ++i)
        w.bytes[TICKS_AT + static_cast<size_t>(i)] =
            static_cast<uint8_t>(static_cast<uint32_t>(w.ticks) >> (8 * i));
    return {w.bytes.data(), w.size};
}

ReplayOpened replay_open(std::span<const uint8_t> bytes) {
    if (bytes.size() > REPLAY_BYTES_MAX)
        return refused("not a replay: larger than %u bytes", static_cast<unsigned>(REPLAY_BYTES_MAX));
    if (bytes.size() < MAGIC.size() || std::memcmp(bytes.data(), MAGIC.data(), MAGIC.size()) != 0)
        return refused("not a replay of this game");
    if (bytes.size() < REPLAY_HEADER_BYTES + REPLAY_TRAILER_BYTES)
        return refused("damaged replay: cut short");
    Cursor c{bytes, MAGIC.size()};
    const uint8_t format = c.u8();
    ReplayHeader h{};
    for (uint8_t& b : h.version)
        b = c.u8();
    const std::array<uint8_t, 3> ours = replay_version();
    if (format != REPLAY_FORMAT || h.version != ours)
        return refused("a replay of Quibbet %u.%u.%u; this is %u.%u.%u, which plays only its own",
                       h.version[0], h.version[1], h.version[2], ours[0], ours[1], ours[2]);
    h.level = c.u8();
    h.player_count = c.u8();
    const uint8_t computers = c.u8();
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        h.computers[slot] = computers >> (STRENGTH_BITS * slot) & STRENGTH_MASK;
    for (int32_t& score : h.scores)
        score = c.u8();
    h.start_tick = static_cast<int32_t>(c.u32());
    h.seed = c.u32();
    const uint32_t ticks = c.u32();
    if (h.level >= LEVEL_COUNT) return refused("damaged replay: level %d of %d", h.level + 1, LEVEL_COUNT);
    if (h.player_count < MIN_PLAYERS || h.player_count > PLAYER_SLOTS)
        return refused("damaged replay: %d players", h.player_count);
    if (h.start_tick < 0) return refused("damaged replay: starts at tick %d", h.start_tick);
    if (ticks > static_cast<uint32_t>(REPLAY_TICKS_MAX)) return refused("damaged replay: %u ticks", ticks);
    h.ticks = static_cast<int32_t>(ticks);

    ReplayOpened opened{};
    opened.ok = true;
    opened.header = h;
    opened.reader = {bytes.first(bytes.size() - REPLAY_TRAILER_BYTES), REPLAY_HEADER_BYTES, 0, h.ticks};
    ReplayReader walk = opened.reader;
    TickInput input;
    ReplayStep step;
    while ((step = replay_next(walk, input)) == ReplayStep::tick) {
    }
    if (step == ReplayStep::damaged || walk.empty_left != 0 || walk.at != walk.bytes.size())
        return refused("damaged replay: its ticks do not add up (at byte %u of %u)",
                       static_cast<unsigned>(walk.at), static_cast<unsigned>(bytes.size()));
    Cursor trailer{bytes, bytes.size() - REPLAY_TRAILER_BYTES};
    opened.final_checksum = trailer.u32();
    opened.final_checksum |= static_cast<uint64_t>(trailer.u32()) << 32;
    return opened;
}

ReplayStep replay_next(ReplayReader& r, TickInput& input) {
    input.count = 0;
    if (r.ticks_left <= 0) return ReplayStep::end;
    if (r.empty_left > 0) {
        --r.empty_left;
        --r.ticks_left;
        return ReplayStep::tick;
    }
    Cursor c{r.bytes, r.at};
    if (!c.left(1)) return ReplayStep::damaged;
    const uint8_t lead = c.u8();
    if (lead < PRESSES) {
        r.at = c.at;
        if (lead + 1 > r.ticks_left) return ReplayStep::damaged;
        r.empty_left = lead; // this tick is the first of the run
        --r.ticks_left;
        return ReplayStep::tick;
    }
    const int32_t count = lead - PRESSES + 1;
    if (count > TICK_EVENTS) return ReplayStep::damaged;
    for (int32_t i = 0; i < count; ++i) {
        if (!c.left(3)) return ReplayStep::damaged;
        const uint8_t b = c.u8();
        TickEvent e{};
        const bool click = (b & 1) != 0, steering = (b >> 6 & 1) != 0;
        const int32_t seat = (b >> 1 & 7) - 1, turn = (b >> 4 & 3) - 1;
        if ((b >> 7) != 0 || seat >= PLAYER_SLOTS || turn > TURN_RIGHT) return ReplayStep::damaged;
        e.kind = static_cast<int8_t>(steering ? TICK_STEERING : click ? EVENT_MOUSE_BUTTON : EVENT_KEY);
        e.seat = static_cast<int8_t>(seat);
        e.turn = static_cast<int8_t>(turn);
        e.code = c.i16();
        if (steering) {
            // A seat's steering: a seat, no turn, no click, the computer or its person.
            if (seat == SEAT_NONE || turn != 0 || click || (e.code != 0 && e.code != 1)) return ReplayStep::damaged;
        } else if ((seat == SEAT_NONE) != (turn == 0)) {
            return ReplayStep::damaged; // a turn always belongs to a seat, and a seat's press is always a turn
        }
        if (click) {
            if (!c.left(4)) return ReplayStep::damaged;
            e.x = c.i16();
            e.y = c.i16();
        }
        tick_input_add(input, e);
    }
    r.at = c.at;
    --r.ticks_left;
    return ReplayStep::tick;
}
