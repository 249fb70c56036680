// The wire between a game machine and quibbet-server: one binary WebSocket message per record
// below, the same header on both sides. Portable (no game code, no OS code): the server, the game's
// room session and the fuzz target all build it.
//
// The server is the room's clock and orders its inputs; it never runs the game. A room's state is
// only its log: every input each seat made, stamped with the tick where it takes effect, and the
// server's own room events (who steers a seat, whose seat owns the menu) in the same stream. Every
// machine that plays the log from tick 0 ends in the same game.
//
// Conversation (C = a game machine, S = the server; every integer little-endian):
//
//   C HELLO      magic, version: the first message, within HELLO_TIMEOUT_MS of connecting.
//   S WELCOME    the server's version. A different version is then told once in ERROR VERSION
//                ("this server speaks version N, this game version M") and the connection closed.
//   C OPEN       seats wanted (1..4), flags: opens a room; its opener's first seat owns the menu.
//   C JOIN       code, seats wanted (0..4), flags, rejoin token (0 for a newcomer): joins by code.
//                A newcomer gets the lowest never-taken seats, as many as it asked and are left
//                (several people on one machine take several seats, in order); with none left, or
//                asking for none, it watches. A token from an earlier JOINED gives back that
//                machine's seats, and closes the earlier connection if it is still open.
//   S JOINED     code, room seed, this machine's seat mask, flags, its rejoin token, and how many
//                ticks are closed so far; then TICKS from tick 0 up to that count (the log), then
//                every closed tick as it closes. A controller (FLAG_CONTROLLER: a phone with turn
//                buttons and no picture) gets no log, only the ticks closing after it joined (which
//                tell it the room goes on), and sends no CHECKSUMS.
//   C INPUT      the tick it wants its records to take effect in, and up to MAX_INPUT_RECORDS records
//                of its own seats. The server stamps them with max(wanted, first open tick): never
//                earlier than asked, later when they arrive late. A wanted tick more than
//                MAX_TICKS_AHEAD past the first open tick breaks the rules.
//   S TICKS      a run of closed ticks [first, first + count) and every record stamped in them, in
//                stamp order. Sent to the room each TICK_MS, covering the ticks closed since the
//                last; the log comes in the same shape, in chunks of at most MAX_SERVER_MESSAGE.
//   C CHECKSUMS  the machine's checksums after consecutive closed ticks, with how many RESYNCs it has
//                obeyed. Only closed ticks: a checksum for an open tick breaks the rules.
//   S RESYNC     this machine's checksum differs from the room's: forget the game, run the log again
//                from tick 0 (TICKS from 0 follow) and count one more resync in CHECKSUMS. A machine
//                that differs again gets ERROR DESYNC.
//   C PING       nothing to say: keeps its seats a person's. A machine silent for SEAT_SILENCE_MS has
//                its seats left to the computer (KIND_SEAT_COMPUTER); its next message gives them
//                back (KIND_SEAT_PERSON). Gone works the same; the token brings it back.
//   S ERROR      a code and one clear line for the player; the server closes the connection after it.
//
// Room events are records made by the server (kind >= FIRST_ROOM_EVENT_KIND) in the TICKS stream,
// so every machine applies them at the same tick: KIND_SEAT_PERSON / KIND_SEAT_COMPUTER (the seat's
// inputs now come from a person / the computer steers it from this tick), KIND_MENU_OWNER (the seat
// whose menu inputs count from this tick; seat NO_SEAT while nobody sits).
//
// A message that is short, long, of an unknown type, or with a field out of range is not decoded;
// the server closes a connection that sends one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

namespace wire {

inline constexpr uint16_t VERSION = 1;
inline constexpr uint32_t HELLO_MAGIC = 0x57544251; // "QBTW" as bytes on the wire
inline constexpr int TICK_MS = 25;
inline constexpr int SEATS = 4;
inline constexpr uint8_t NO_SEAT = 0xFF;
inline constexpr int ROOM_CODE_LENGTH = 6;
// A client's messages are small; the server's carry whole runs of the log.
inline constexpr size_t MAX_CLIENT_MESSAGE = 256;
inline constexpr size_t MAX_SERVER_MESSAGE = 65536;
inline constexpr int MAX_INPUT_RECORDS = 8;
inline constexpr int MAX_CHECKSUMS = 32;
inline constexpr uint32_t MAX_TICKS_AHEAD = 80; // 2 s: further is not a prediction but a lie
inline constexpr int MAX_ERROR_TEXT = 160;
inline constexpr int HELLO_TIMEOUT_MS = 5000;
inline constexpr int SEAT_SILENCE_MS = 2000;

enum class Type : uint8_t {
    HELLO = 0x01,
    OPEN = 0x02,
    JOIN = 0x03,
    INPUT = 0x04,
    CHECKSUMS = 0x05,
    PING = 0x06,
    WELCOME = 0x81,
    JOINED = 0x82,
    TICKS = 0x83,
    RESYNC = 0x84,
    ERROR = 0x85,
};

inline constexpr uint8_t FLAG_CONTROLLER = 0x01;
inline constexpr uint8_t KNOWN_FLAGS = FLAG_CONTROLLER;

// Kinds below FIRST_ROOM_EVENT_KIND are the game's own (opaque here); the others only the server makes.
inline constexpr uint8_t FIRST_ROOM_EVENT_KIND = 0x80;
inline constexpr uint8_t KIND_SEAT_PERSON = 0x80;
inline constexpr uint8_t KIND_SEAT_COMPUTER = 0x81;
inline constexpr uint8_t KIND_MENU_OWNER = 0x82;

enum class ErrorCode : uint8_t {
    VERSION = 1,        // the two sides speak different versions
    BAD_MESSAGE = 2,    // the message broke the format or the rules
    ROOM_NOT_FOUND = 3, // no room with that code
    ROOM_FULL = 4,      // no seat and no place to watch
    TOO_MANY = 5,       // a limit on messages, rooms, connections or tries
    DESYNC = 6,         // the machine's game differed from the room's twice
    TIMEOUT = 7,        // silent too long, or no hello in time
    REPLACED = 8,       // the machine's seats were taken back by a newer connection with its token
    ROOM_ENDED = 9,     // the room's log is full
};
inline constexpr uint8_t LAST_ERROR_CODE = 9;

// One seat's event for one tick: the game's compact input, or a room event.
struct InputRecord {
    uint8_t kind = 0;
    uint8_t code = 0;
    uint8_t seat = 0;
    int16_t x = 0;
    int16_t y = 0;
    bool operator==(const InputRecord&) const = default;
};

struct StampedRecord {
    uint32_t tick = 0;
    InputRecord record;
    bool operator==(const StampedRecord&) const = default;
};

inline constexpr size_t INPUT_RECORD_BYTES = 7;
inline constexpr size_t TICKS_RECORD_BYTES = 2 + INPUT_RECORD_BYTES; // offset from the run's first tick
inline constexpr size_t TICKS_HEADER_BYTES = 1 + 4 + 2 + 2;
inline constexpr size_t MAX_TICKS_RECORDS = (MAX_SERVER_MESSAGE - TICKS_HEADER_BYTES) / TICKS_RECORD_BYTES;
inline constexpr uint32_t MAX_TICKS_RUN = 0xFFFF;

using RoomCode = std::array<char, ROOM_CODE_LENGTH>;

// Every message's fields side by side; `type` says which are meant.
struct Message {
    Type type = Type::PING;
    uint16_t version = 0;            // HELLO, WELCOME
    uint8_t seats_wanted = 0;        // OPEN, JOIN
    uint8_t flags = 0;               // OPEN, JOIN, JOINED
    RoomCode code{};                 // JOIN, JOINED
    uint64_t token = 0;              // JOIN, JOINED
    uint32_t seed = 0;               // JOINED
    uint8_t seat_mask = 0;           // JOINED
    uint32_t tick = 0;               // INPUT (wanted), CHECKSUMS and TICKS (first), JOINED (closed)
    uint32_t count = 0;              // INPUT, CHECKSUMS: entries; TICKS: ticks in the run
    uint8_t run = 0;                 // CHECKSUMS: resyncs obeyed
    std::array<InputRecord, MAX_INPUT_RECORDS> inputs{};
    std::array<uint32_t, MAX_CHECKSUMS> checksums{};
    std::span<const uint8_t> ticks_records; // TICKS: the records' bytes, read with ticks_record()
    ErrorCode error = ErrorCode::BAD_MESSAGE;
    uint8_t text_length = 0;
    std::array<char, MAX_ERROR_TEXT> text{};
};

// Checks every field; on failure returns a short reason (for the log) and leaves `out` unspecified.
// A TICKS message's records stay in `bytes`: keep them alive while reading.
const char* decode(std::span<const uint8_t> bytes, Message& out);
size_t ticks_record_count(const Message& ticks);
StampedRecord ticks_record(const Message& ticks, size_t index);

// Appends one whole message. TICKS are written with put_ticks from records in stamp order.
void encode(const Message& message, std::vector<uint8_t>& out);
void put_ticks(std::vector<uint8_t>& out, uint32_t first_tick, uint32_t tick_count,
               std::span<const StampedRecord> records);
Message error_message(ErrorCode code, const char* text);
// The machine's messages, filled in (records and checksums beyond a message's room are left out).
Message hello_message(uint16_t version = VERSION);
Message open_message(uint8_t seats, uint8_t flags = 0);
Message join_message(std::string_view code, uint8_t seats, uint64_t token = 0, uint8_t flags = 0);
Message input_message(uint32_t tick, std::initializer_list<InputRecord> records);
Message checksums_message(uint32_t first_tick, std::span<const uint32_t> checksums, uint8_t run = 0);

} // namespace wire
