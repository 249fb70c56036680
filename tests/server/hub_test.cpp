// The server's rules, machine by machine, on a clock the test moves.
#include "hub_fixture.h"

#include "server/limits.h"
#include "server/room_code.h"

#include <algorithm>

namespace {

wire::InputRecord turn(uint8_t seat, uint8_t code = 81) { return {0, code, seat, 0, 0}; }

bool has_record(const std::vector<wire::StampedRecord>& records, uint32_t tick, uint8_t kind, uint8_t seat) {
    return std::any_of(records.begin(), records.end(), [&](const wire::StampedRecord& s) {
        return s.tick == tick && s.record.kind == kind && s.record.seat == seat;
    });
}

uint32_t last_tick_of(const std::vector<wire::StampedRecord>& records, uint8_t kind, uint8_t seat) {
    uint32_t tick = UINT32_MAX;
    for (const auto& s : records)
        if (s.record.kind == kind && s.record.seat == seat) tick = s.tick;
    return tick;
}

TEST_F(HubTest, SeatsGoInOrderAndWatchersComeAfterTheFourth) {
    std::string code;
    const ConnId a = opener(code, 1);
    ASSERT_EQ(code.size(), 6u);
    EXPECT_TRUE(std::all_of(code.begin(), code.end(), [](char c) { return ROOM_CODE_ALPHABET.find(c) != std::string::npos; }));
    std::string lower = code;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    const ConnId b = joiner(lower, 2); // typed in lower case
    const ConnId c = joiner(code, 2);
    const ConnId d = joiner(code, 1);
    EXPECT_EQ(joined(a).seat_mask, 0b0001);
    EXPECT_EQ(joined(b).seat_mask, 0b0110);
    EXPECT_EQ(joined(c).seat_mask, 0b1000) << "only what is left";
    EXPECT_EQ(joined(d).seat_mask, 0) << "watches";
    EXPECT_NE(joined(a).token, joined(b).token);
    EXPECT_EQ(joined(a).seed, joined(d).seed);
    run_ms(50);
    const auto seen = records(d);
    EXPECT_TRUE(has_record(seen, 0, wire::KIND_MENU_OWNER, 0)) << "the opener's seat owns the menu";
    for (uint8_t seat = 0; seat < 4; ++seat) EXPECT_TRUE(has_record(seen, 0, wire::KIND_SEAT_PERSON, seat));
    EXPECT_EQ(records(a), seen) << "every machine gets the same log";
}

TEST_F(HubTest, InputsAreStampedNoEarlierThanAskedAndNeverInClosedTicks) {
    std::string code;
    const ConnId a = opener(code, 1);
    const ConnId b = joiner(code, 1);
    run_ms(250); // ticks 0..9 closed
    say(a, wire::input_message(3, {turn(0, 81)}));  // late: takes the first open tick
    say(b, wire::input_message(14, {turn(1, 87)})); // ahead: waits for its tick
    run_ms(250);
    const auto seen = records(b);
    EXPECT_TRUE(has_record(seen, 10, 0, 0));
    EXPECT_TRUE(has_record(seen, 14, 0, 1));
    EXPECT_EQ(seen, records(a));
    say(b, wire::input_message(20 + wire::MAX_TICKS_AHEAD + 1, {turn(1)}));
    EXPECT_EQ(errors(b), std::vector{wire::ErrorCode::BAD_MESSAGE}) << "too far ahead of the clock";
    EXPECT_TRUE(closed.count(b));
    EXPECT_FALSE(closed.count(a));
}

// Each row: what a greeted machine in a room of two does wrong; it is closed, its neighbour is not.
TEST_F(HubTest, ABrokenRuleClosesOnlyTheMachineThatBrokeIt) {
    struct Row {
        const char* what;
        std::vector<uint8_t> bytes;
        wire::ErrorCode error;
    };
    auto bytes_of = [](const wire::Message& m) {
        std::vector<uint8_t> out;
        wire::encode(m, out);
        return out;
    };
    wire::Message from_server = wire::error_message(wire::ErrorCode::TIMEOUT, "x");
    const std::vector<Row> rows{
        {"garbage", {0x42, 0x17, 0x99}, wire::ErrorCode::BAD_MESSAGE},
        {"a second hello", bytes_of(wire::hello_message()), wire::ErrorCode::BAD_MESSAGE},
        {"another seat's input", bytes_of(wire::input_message(0, {turn(0)})), wire::ErrorCode::BAD_MESSAGE},
        {"a checksum of an open tick", bytes_of(wire::checksums_message(40, std::vector<uint32_t>{1})),
         wire::ErrorCode::BAD_MESSAGE},
        {"a server's message", bytes_of(from_server), wire::ErrorCode::BAD_MESSAGE},
        {"a second join", bytes_of(wire::join_message("AAAAAA", 1)), wire::ErrorCode::BAD_MESSAGE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::string code;
        const ConnId good = opener(code, 1, "127.1.0.1");
        const ConnId bad = joiner(code, 1, "127.2.0.1");
        run_ms(100);
        hub_message(hub, bad, row.bytes, now);
        EXPECT_EQ(errors(bad), std::vector{row.error});
        EXPECT_TRUE(closed.count(bad));
        run_ms(100);
        EXPECT_FALSE(closed.count(good));
        EXPECT_NE(last_tick_of(records(good), wire::KIND_SEAT_COMPUTER, 1), UINT32_MAX) << "its seat goes to the computer";
        hub_disconnect(hub, good, now);
        hub_release(hub, "127.1.0.1");
        hub_release(hub, "127.2.0.1");
    }
    EXPECT_TRUE(hub.rooms.empty()) << "a room lives while someone is in it";
}

TEST_F(HubTest, MessagesBeforeHelloOrFromAnotherVersionAreRefusedInOneLine) {
    const ConnId early = connect();
    say(early, wire::open_message(1));
    EXPECT_EQ(errors(early), std::vector{wire::ErrorCode::BAD_MESSAGE});
    const ConnId old = connect();
    say(old, wire::hello_message(wire::VERSION + 1));
    ASSERT_EQ(received(old, wire::Type::WELCOME).size(), 1u);
    EXPECT_EQ(received(old, wire::Type::WELCOME)[0].version, wire::VERSION);
    const auto error = received(old, wire::Type::ERROR);
    ASSERT_EQ(error.size(), 1u);
    EXPECT_EQ(error[0].error, wire::ErrorCode::VERSION);
    EXPECT_EQ(std::string(error[0].text.data(), error[0].text_length),
              "this server speaks version 1 and this game version 2: both need the same Quibbet");
    EXPECT_TRUE(closed.count(old));
}

TEST_F(HubTest, ASilentSeatGoesToTheComputerAndComesBackWithTheMenuPassedOn) {
    std::string code;
    const ConnId a = opener(code, 1);
    const ConnId b = joiner(code, 1);
    for (int i = 0; i < 120; ++i) { // 3 s: only b speaks
        run_ms(25);
        say(b, wire::Message{});
    }
    auto seen = records(b);
    const uint32_t away = last_tick_of(seen, wire::KIND_SEAT_COMPUTER, 0);
    ASSERT_NE(away, UINT32_MAX);
    EXPECT_GE(away, uint32_t(wire::SEAT_SILENCE_MS / wire::TICK_MS));
    EXPECT_LE(away, uint32_t(wire::SEAT_SILENCE_MS / wire::TICK_MS + 2));
    EXPECT_TRUE(has_record(seen, away, wire::KIND_MENU_OWNER, 1)) << "the menu passes to the next person";
    say(a, wire::Message{});
    run_ms(50);
    seen = records(b);
    EXPECT_GT(last_tick_of(seen, wire::KIND_SEAT_PERSON, 0), away);
    EXPECT_EQ(last_tick_of(seen, wire::KIND_MENU_OWNER, 1), away) << "the menu stays where it went";
}

TEST_F(HubTest, TheTokenBringsAMachineBackIntoItsSeatsCaughtUpFromTheLog) {
    std::string code;
    const ConnId a = opener(code, 1);
    const ConnId b = joiner(code, 2);
    const uint64_t token = joined(b).token;
    run_ms(100);
    say(b, wire::input_message(0, {turn(2)}));
    run_ms(100);
    hub_disconnect(hub, b, now);
    run_ms(100);
    const ConnId stranger = joiner(code, 2, "127.0.0.3");
    EXPECT_EQ(joined(stranger).seat_mask, 0b1000) << "the seats stay kept for their machine";
    const ConnId back = joiner(code, 1, "127.0.0.2", token);
    EXPECT_EQ(joined(back).seat_mask, 0b0110);
    EXPECT_EQ(joined(back).token, token);
    run_ms(50);
    const auto log_of_back = records(back);
    EXPECT_EQ(log_of_back, records(a)) << "the returning machine replays the same log";
    EXPECT_TRUE(has_record(log_of_back, 4, 0, 2));
    EXPECT_GT(last_tick_of(log_of_back, wire::KIND_SEAT_PERSON, 1), last_tick_of(log_of_back, wire::KIND_SEAT_COMPUTER, 1));
    const ConnId again = joiner(code, 1, "127.0.0.4", token);
    EXPECT_EQ(errors(back), std::vector{wire::ErrorCode::REPLACED}) << "one connection per token";
    EXPECT_EQ(joined(again).seat_mask, 0b0110);
}

TEST_F(HubTest, AMachineThatDiffersRunsTheLogAgainThenLeaves) {
    std::string code;
    const ConnId a = opener(code, 1);
    const ConnId b = joiner(code, 1);
    const ConnId c = joiner(code, 1);
    run_ms(250);
    const std::vector<uint32_t> same{7, 8}, other{7, 9};
    say(a, wire::checksums_message(2, same));
    say(b, wire::checksums_message(2, same));
    say(c, wire::checksums_message(2, other));
    run_ms(25);
    EXPECT_TRUE(received(a, wire::Type::RESYNC).empty());
    ASSERT_EQ(received(c, wire::Type::RESYNC).size(), 1u);
    EXPECT_EQ(records(c), records(a)) << "the whole log follows";
    say(c, wire::checksums_message(4, other)); // sent before it heard: not counted
    say(c, wire::checksums_message(2, other, 1));
    EXPECT_EQ(errors(c), std::vector{wire::ErrorCode::DESYNC});
    EXPECT_TRUE(errors(a).empty());
    EXPECT_TRUE(errors(b).empty());
    say(a, wire::input_message(12, {{1, 0, 0, 0, 0}}));
    hub_disconnect(hub, a, now);
    hub_disconnect(hub, b, now);
    // The room's end tells how far its machines were compared, and who turned.
    EXPECT_NE(log.back().find("closed: 11 ticks; checksums compared at 2 ticks from 3 machines, a machine differed 2 "
                              "times; inputs by seat 1 0 0 0"),
              std::string::npos)
        << log.back();
}

TEST_F(HubTest, ChecksumsOfTicksLongClosedAreStillCompared) {
    std::string code;
    const ConnId a = opener(code, 1);
    const ConnId b = joiner(code, 1);
    joiner(code, 1); // never reports
    run_ms(static_cast<int>(limits::CHECKSUM_WAIT_TICKS + 50) * wire::TICK_MS);
    say(a, wire::checksums_message(10, std::vector<uint32_t>{7}));
    say(b, wire::checksums_message(10, std::vector<uint32_t>{9}));
    run_ms(25);
    EXPECT_TRUE(received(a, wire::Type::RESYNC).empty()) << "a tie goes to the menu's owner";
    EXPECT_EQ(received(b, wire::Type::RESYNC).size(), 1u);
}

TEST_F(HubTest, LimitsPerAddressHoldAndReleaseWithTheirUse) {
    std::vector<ConnId> openers;
    for (int i = 0; i < limits::MAX_ROOMS_PER_ADDRESS; ++i) {
        std::string code;
        openers.push_back(opener(code, 1, "127.9.0.1"));
    }
    const ConnId one_more = greeted("127.9.0.1");
    say(one_more, wire::open_message(1));
    EXPECT_EQ(errors(one_more), std::vector{wire::ErrorCode::TOO_MANY});
    hub_disconnect(hub, openers[0], now);
    const ConnId after_one_closed = greeted("127.9.0.1");
    say(after_one_closed, wire::open_message(1));
    EXPECT_TRUE(errors(after_one_closed).empty());

    for (int i = 0; i < limits::MAX_JOIN_FAILURES_PER_ADDRESS; ++i)
        EXPECT_EQ(errors(joiner("ZZZZZ2", 1, "127.8.0.1")), std::vector{wire::ErrorCode::ROOM_NOT_FOUND});
    std::string code;
    opener(code, 1, "127.7.0.1");
    EXPECT_EQ(errors(joiner(code, 1, "127.8.0.1")), std::vector{wire::ErrorCode::TOO_MANY}) << "even a right code waits";
    now += limits::JOIN_FAILURE_WINDOW_MS + 1;
    EXPECT_TRUE(errors(joiner(code, 1, "127.8.0.1")).empty());

    for (int i = 0; i < limits::MAX_CONNECTIONS_PER_ADDRESS; ++i) EXPECT_TRUE(hub_admit(hub, "127.6.0.1"));
    EXPECT_FALSE(hub_admit(hub, "127.6.0.1"));
    hub_release(hub, "127.6.0.1");
    EXPECT_TRUE(hub_admit(hub, "127.6.0.1"));
}

TEST_F(HubTest, FloodsAndSilenceCloseTheConnection) {
    std::string code;
    const ConnId flood = opener(code, 1);
    for (int i = 0; i < limits::MAX_MESSAGES_PER_SECOND * limits::RATE_BURST_SECONDS + 1; ++i) say(flood, wire::Message{});
    EXPECT_EQ(errors(flood), std::vector{wire::ErrorCode::TOO_MANY});
    const ConnId mute = connect();
    run_ms(wire::HELLO_TIMEOUT_MS + 50);
    EXPECT_EQ(errors(mute), std::vector{wire::ErrorCode::TIMEOUT});
    const ConnId idle = greeted();
    run_ms(limits::IDLE_CLOSE_MS + 50);
    EXPECT_EQ(errors(idle), std::vector{wire::ErrorCode::TIMEOUT});
}

} // namespace
