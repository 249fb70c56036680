// The wire's messages: every kind survives encode and decode, and the decoder refuses what is
// short, long or out of range.
#include "online/wire.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::vector<uint8_t> bytes_of(const wire::Message& m) {
    std::vector<uint8_t> out;
    wire::encode(m, out);
    return out;
}

TEST(Wire, EveryMessageComesBackAsItWent) {
    wire::Message welcome;
    welcome.type = wire::Type::WELCOME;
    welcome.version = 513;
    wire::Message joined;
    joined.type = wire::Type::JOINED;
    joined.code = {'K', '7', 'Q', 'X', '3', 'M'};
    joined.seed = 0xDEADBEEF;
    joined.seat_mask = 0b1010;
    joined.flags = wire::FLAG_CONTROLLER;
    joined.token = 0x0123456789ABCDEFull;
    joined.tick = 70000;
    wire::Message resync;
    resync.type = wire::Type::RESYNC;
    const std::vector<uint32_t> sums{1, 0xFFFFFFFF, 3};
    const std::vector<wire::Message> messages{
        wire::hello_message(),
        wire::open_message(4, wire::FLAG_CONTROLLER),
        wire::join_message("ab2CD9", 0, 0xFFFFFFFFFFFFFFFFull),
        wire::input_message(123456, {{0, 81, 3, -1, 32767}, {8, 1, 0, 639, -32768}}),
        wire::checksums_message(99, sums, 1),
        wire::Message{},
        welcome,
        joined,
        resync,
        wire::error_message(wire::ErrorCode::ROOM_NOT_FOUND, "there is no room ABCDEF on this server"),
    };
    for (const wire::Message& m : messages) {
        SCOPED_TRACE(static_cast<int>(m.type));
        const auto bytes = bytes_of(m);
        EXPECT_LE(bytes.size(), wire::MAX_CLIENT_MESSAGE);
        wire::Message back;
        ASSERT_EQ(wire::decode(bytes, back), nullptr);
        EXPECT_EQ(bytes_of(back), bytes);
        EXPECT_EQ(back.type, m.type);
    }
    wire::Message input;
    ASSERT_EQ(wire::decode(bytes_of(messages[3]), input), nullptr);
    EXPECT_EQ(input.inputs[1], (wire::InputRecord{8, 1, 0, 639, -32768}));
}

TEST(Wire, TicksCarryTheirRecordsAtTheirTicks) {
    const std::vector<wire::StampedRecord> records{
        {1000, {0, 81, 0, 0, 0}}, {1000, {wire::KIND_MENU_OWNER, 0, wire::NO_SEAT, 0, 0}}, {1029, {8, 1, 2, 5, 6}}};
    std::vector<uint8_t> bytes;
    wire::put_ticks(bytes, 1000, 30, records);
    wire::Message m;
    ASSERT_EQ(wire::decode(bytes, m), nullptr);
    EXPECT_EQ(m.tick, 1000u);
    EXPECT_EQ(m.count, 30u);
    ASSERT_EQ(wire::ticks_record_count(m), 3u);
    for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(wire::ticks_record(m, i), records[i]);
    EXPECT_EQ(bytes_of(m), bytes);
}

TEST(Wire, TheDecoderRefusesWhatBreaksTheFormat) {
    auto with = [](wire::Message m, auto change) {
        auto bytes = bytes_of(m);
        change(bytes);
        return bytes;
    };
    std::vector<uint8_t> ticks;
    wire::put_ticks(ticks, 0, 2, std::vector<wire::StampedRecord>{{1, {0, 0, 1, 0, 0}}});
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> rows{
        {"nothing", {}},
        {"an unknown type", {0x7F}},
        {"a hello without its magic", with(wire::hello_message(), [](auto& b) { b[1] ^= 1; })},
        {"a short hello", with(wire::hello_message(), [](auto& b) { b.pop_back(); })},
        {"no seats to open", with(wire::open_message(1), [](auto& b) { b[1] = 0; })},
        {"five seats", with(wire::open_message(1), [](auto& b) { b[1] = 5; })},
        {"unknown flags", with(wire::open_message(1), [](auto& b) { b[2] = 0x80; })},
        {"a code with a space", with(wire::join_message("ABCDEF", 1), [](auto& b) { b[3] = ' '; })},
        {"trailing bytes", with(wire::join_message("ABCDEF", 1), [](auto& b) { b.push_back(0); })},
        {"no records", with(wire::input_message(0, {{0, 0, 0, 0, 0}}), [](auto& b) { b[5] = 0; b.resize(6); })},
        {"a record cut short", with(wire::input_message(0, {{0, 0, 0, 0, 0}}), [](auto& b) { b.pop_back(); })},
        {"a seat past the fourth", with(wire::input_message(0, {{0, 0, 4, 0, 0}}), [](auto&) {})},
        {"a room event from a machine", with(wire::input_message(0, {{wire::KIND_SEAT_PERSON, 0, 0, 0, 0}}), [](auto&) {})},
        {"too many checksums", with(wire::checksums_message(0, std::vector<uint32_t>{1}), [](auto& b) { b[6] = 33; })},
        {"checksums past the clock", with(wire::checksums_message(0xFFFFFFFF, std::vector<uint32_t>{1, 2}), [](auto&) {})},
        {"a record outside its run", with(wire::Message{}, [&](auto& b) { b = ticks; b[9] = 2; })},
        {"an empty run", with(wire::Message{}, [&](auto& b) { b = ticks; b[5] = 0; })},
        {"an error's text not printable",
         with(wire::error_message(wire::ErrorCode::DESYNC, "ab"), [](auto& b) { b[3] = '\n'; })},
        {"an unknown error", with(wire::error_message(wire::ErrorCode::DESYNC, "ab"), [](auto& b) { b[1] = 0; })},
    };
    for (const auto& [what, bytes] : rows) {
        wire::Message m;
        EXPECT_NE(wire::decode(bytes, m), nullptr) << what;
    }
}

} // namespace
