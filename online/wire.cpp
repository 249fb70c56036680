// Byte layouts of the wire's messages; every reader checks its length before it reads.
#include "online/wire.h"

#include <algorithm>
#include <cstring>

namespace wire {
namespace {

struct Reader {
    std::span<const uint8_t> bytes;
    size_t at = 0;
    bool has(size_t n) const { return bytes.size() - at >= n; }
    uint8_t u8() { return bytes[at++]; }
    uint16_t u16() {
        const uint16_t v = static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
        at += 2;
        return v;
    }
    uint32_t u32() {
        const uint32_t lo = u16();
        return lo | static_cast<uint32_t>(u16()) << 16;
    }
    uint64_t u64() {
        const uint64_t lo = u32();
        return lo | static_cast<uint64_t>(u32()) << 32;
    }
    bool done() const { return at == bytes.size(); }
};

void put8(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }
void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v));
    put16(out, static_cast<uint16_t>(v >> 16));
}
void put64(std::vector<uint8_t>& out, uint64_t v) {
    put32(out, static_cast<uint32_t>(v));
    put32(out, static_cast<uint32_t>(v >> 32));
}

InputRecord read_input(Reader& r) {
    InputRecord in;
    in.kind = r.u8();
    in.code = r.u8();
    in.seat = r.u8();
    in.x = static_cast<int16_t>(r.u16());
    in.y = static_cast<int16_t>(r.u16());
    return in;
}

void put_input(std::vector<uint8_t>& out, const InputRecord& in) {
    put8(out, in.kind);
    put8(out, in.code);
    put8(out, in.seat);
    put16(out, static_cast<uint16_t>(in.x));
    put16(out, static_cast<uint16_t>(in.y));
}

bool code_chars_valid(const RoomCode& code) {
    return std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

// A room event's seat may be NO_SEAT only where it names the menu's owner.
bool record_seat_valid(const InputRecord& in) {
    return in.seat < SEATS || (in.kind == KIND_MENU_OWNER && in.seat == NO_SEAT);
}

const char* decode_ticks(Reader& r, Message& out) {
    if (!r.has(8)) return "short ticks";
    out.tick = r.u32();
    out.count = r.u16();
    const size_t records = r.u16();
    if (out.count == 0) return "empty tick run";
    if (out.tick > UINT32_MAX - out.count) return "tick run past the clock's end";
    if (r.bytes.size() - r.at != records * TICKS_RECORD_BYTES) return "ticks size";
    out.ticks_records = r.bytes.subspan(r.at);
    uint16_t last_offset = 0;
    for (size_t i = 0; i < records; ++i) {
        const uint16_t offset = r.u16();
        const InputRecord in = read_input(r);
        if (offset >= out.count || offset < last_offset) return "record outside its run";
        if (!record_seat_valid(in)) return "record seat";
        last_offset = offset;
    }
    return nullptr;
}

const char* decode_body(Reader& r, Message& out) {
    switch (out.type) {
    case Type::HELLO:
        // Later versions may say more after these fields; the version is always readable.
        if (!r.has(6)) return "short hello";
        if (r.u32() != HELLO_MAGIC) return "not a hello";
        out.version = r.u16();
        r.at = r.bytes.size();
        return nullptr;
    case Type::OPEN:
        if (!r.has(2)) return "short open";
        out.seats_wanted = r.u8();
        out.flags = r.u8();
        if (out.seats_wanted < 1 || out.seats_wanted > SEATS) return "seats wanted";
        break;
    case Type::JOIN:
        if (!r.has(ROOM_CODE_LENGTH + 10)) return "short join";
        for (char& c : out.code) c = static_cast<char>(r.u8());
        out.seats_wanted = r.u8();
        out.flags = r.u8();
        out.token = r.u64();
        if (!code_chars_valid(out.code)) return "room code";
        if (out.seats_wanted > SEATS) return "seats wanted";
        break;
    case Type::INPUT:
        if (!r.has(5)) return "short input";
        out.tick = r.u32();
        out.count = r.u8();
        if (out.count < 1 || out.count > MAX_INPUT_RECORDS) return "input count";
        if (!r.has(out.count * INPUT_RECORD_BYTES)) return "short input";
        for (uint32_t i = 0; i < out.count; ++i) {
            out.inputs[i] = read_input(r);
            if (out.inputs[i].kind >= FIRST_ROOM_EVENT_KIND) return "room event from a machine";
            if (out.inputs[i].seat >= SEATS) return "input seat";
        }
        break;
    case Type::CHECKSUMS:
        if (!r.has(6)) return "short checksums";
        out.run = r.u8();
        out.tick = r.u32();
        out.count = r.u8();
        if (out.count < 1 || out.count > MAX_CHECKSUMS) return "checksum count";
        if (out.tick > UINT32_MAX - out.count) return "checksums past the clock's end";
        if (!r.has(out.count * 4)) return "short checksums";
        for (uint32_t i = 0; i < out.count; ++i) out.checksums[i] = r.u32();
        break;
    case Type::PING:
    case Type::RESYNC:
        break;
    case Type::WELCOME:
        if (!r.has(2)) return "short welcome";
        out.version = r.u16();
        break;
    case Type::JOINED:
        if (!r.has(ROOM_CODE_LENGTH + 18)) return "short joined";
        for (char& c : out.code) c = static_cast<char>(r.u8());
        out.seed = r.u32();
        out.seat_mask = r.u8();
        out.flags = r.u8();
        out.token = r.u64();
        out.tick = r.u32();
        if (!code_chars_valid(out.code)) return "room code";
        if (out.seat_mask >= 1u << SEATS) return "seat mask";
        break;
    case Type::TICKS:
        return decode_ticks(r, out);
    case Type::ERROR: {
        if (!r.has(2)) return "short error";
        const uint8_t code = r.u8();
        out.text_length = r.u8();
        if (code < 1 || code > LAST_ERROR_CODE) return "error code";
        out.error = static_cast<ErrorCode>(code);
        if (out.text_length > MAX_ERROR_TEXT || !r.has(out.text_length)) return "error text length";
        for (uint8_t i = 0; i < out.text_length; ++i) {
            out.text[i] = static_cast<char>(r.u8());
            if (out.text[i] < 0x20 || out.text[i] > 0x7E) return "error text not printable";
        }
        break;
    }
    default:
        return "unknown type";
    }
    if ((out.type == Type::OPEN || out.type == Type::JOIN || out.type == Type::JOINED) &&
        (out.flags & ~KNOWN_FLAGS))
        return "flags";
    return r.done() ? nullptr : "trailing bytes";
}

} // namespace

const char* decode(std::span<const uint8_t> bytes, Message& out) {
    if (bytes.empty()) return "empty message";
    Reader r{bytes};
    out.type = static_cast<Type>(r.u8());
    return decode_body(r, out);
}

size_t ticks_record_count(const Message& ticks) { return ticks.ticks_records.size() / TICKS_RECORD_BYTES; }

StampedRecord ticks_record(const Message& ticks, size_t index) {
    Reader r{ticks.ticks_records, index * TICKS_RECORD_BYTES};
    StampedRecord s;
    s.tick = ticks.tick + r.u16();
    s.record = read_input(r);
    return s;
}

void put_ticks(std::vector<uint8_t>& out, uint32_t first_tick, uint32_t tick_count,
               std::span<const StampedRecord> records) {
    put8(out, static_cast<uint8_t>(Type::TICKS));
    put32(out, first_tick);
    put16(out, static_cast<uint16_t>(tick_count));
    put16(out, static_cast<uint16_t>(records.size()));
    for (const StampedRecord& s : records) {
        put16(out, static_cast<uint16_t>(s.tick - first_tick));
        put_input(out, s.record);
    }
}

void encode(const Message& m, std::vector<uint8_t>& out) {
    if (m.type == Type::TICKS) {
        put8(out, static_cast<uint8_t>(Type::TICKS));
        put32(out, m.tick);
        put16(out, static_cast<uint16_t>(m.count));
        put16(out, static_cast<uint16_t>(ticks_record_count(m)));
        out.insert(out.end(), m.ticks_records.begin(), m.ticks_records.end());
        return;
    }
    put8(out, static_cast<uint8_t>(m.type));
    switch (m.type) {
    case Type::HELLO:
        put32(out, HELLO_MAGIC);
        put16(out, m.version);
        break;
    case Type::OPEN:
        put8(out, m.seats_wanted);
        put8(out, m.flags);
        break;
    case Type::JOIN:
        for (char c : m.code) put8(out, static_cast<uint8_t>(c));
        put8(out, m.seats_wanted);
        put8(out, m.flags);
        put64(out, m.token);
        break;
    case Type::INPUT:
        put32(out, m.tick);
        put8(out, static_cast<uint8_t>(m.count));
        for (uint32_t i = 0; i < m.count; ++i) put_input(out, m.inputs[i]);
        break;
    case Type::CHECKSUMS:
        put8(out, m.run);
        put32(out, m.tick);
        put8(out, static_cast<uint8_t>(m.count));
        for (uint32_t i = 0; i < m.count; ++i) put32(out, m.checksums[i]);
        break;
    case Type::WELCOME:
        put16(out, m.version);
        break;
    case Type::JOINED:
        for (char c : m.code) put8(out, static_cast<uint8_t>(c));
        put32(out, m.seed);
        put8(out, m.seat_mask);
        put8(out, m.flags);
        put64(out, m.token);
        put32(out, m.tick);
        break;
    case Type::ERROR:
        put8(out, static_cast<uint8_t>(m.error));
        put8(out, m.text_length);
        out.insert(out.end(), m.text.begin(), m.text.begin() + m.text_length);
        break;
    default:
        break;
    }
}

Message error_message(ErrorCode code, const char* text) {
    Message m;
    m.type = Type::ERROR;
    m.error = code;
    const size_t length = std::min(std::strlen(text), static_cast<size_t>(MAX_ERROR_TEXT));
    std::memcpy(m.text.data(), text, length);
    m.text_length = static_cast<uint8_t>(length);
    return m;
}

Message hello_message(uint16_t version) {
    Message m;
    m.type = Type::HELLO;
    m.version = version;
    return m;
}

Message open_message(uint8_t seats, uint8_t flags) {
    Message m;
    m.type = Type::OPEN;
    m.seats_wanted = seats;
    m.flags = flags;
    return m;
}

Message join_message(std::string_view code, uint8_t seats, uint64_t token, uint8_t flags) {
    Message m;
    m.type = Type::JOIN;
    std::memcpy(m.code.data(), code.data(), std::min(code.size(), m.code.size()));
    m.seats_wanted = seats;
    m.token = token;
    m.flags = flags;
    return m;
}

Message input_message(uint32_t tick, std::initializer_list<InputRecord> records) {
    Message m;
    m.type = Type::INPUT;
    m.tick = tick;
    for (const auto& r : records)
        if (m.count < MAX_INPUT_RECORDS) m.inputs[m.count++] = r;
    return m;
}

Message checksums_message(uint32_t first_tick, std::span<const uint32_t> checksums, uint8_t run) {
    Message m;
    m.type = Type::CHECKSUMS;
    m.tick = first_tick;
    m.run = run;
    for (uint32_t c : checksums)
        if (m.count < MAX_CHECKSUMS) m.checksums[m.count++] = c;
    return m;
}

} // namespace wire
