// The hub with a recording output and a clock the test moves: machines are ids, their messages
// are decoded back from what the hub sent them.
#pragma once

#include "server/hub.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

struct HubTest : testing::Test {
    Hub hub;
    int64_t now = 0;
    uint64_t lcg = 1;
    std::vector<std::pair<ConnId, Bytes>> sent;
    std::set<ConnId> closed;
    std::vector<std::string> log;

    void SetUp() override {
        hub.random = [this] { return lcg = lcg * 6364136223846793005ull + 1442695040888963407ull; };
        hub.out.send = [this](ConnId id, const Bytes& b) { sent.emplace_back(id, b); };
        hub.out.close = [this](ConnId id) { closed.insert(id); };
        hub.out.log = [this](const std::string& line) { log.push_back(line); };
    }

    ConnId connect(const std::string& address = "127.0.0.1") {
        EXPECT_TRUE(hub_admit(hub, address));
        return hub_connect(hub, address, now);
    }
    void say(ConnId id, const wire::Message& m) {
        std::vector<uint8_t> bytes;
        wire::encode(m, bytes);
        hub_message(hub, id, bytes, now);
    }
    ConnId greeted(const std::string& address = "127.0.0.1") {
        const ConnId id = connect(address);
        say(id, wire::hello_message());
        return id;
    }
    // Opens a room for a new machine and returns it; `code` gets the room's code.
    ConnId opener(std::string& code, uint8_t seats = 1, const std::string& address = "127.0.0.1") {
        const ConnId id = greeted(address);
        say(id, wire::open_message(seats));
        const wire::Message j = joined(id);
        code.assign(j.code.begin(), j.code.end());
        return id;
    }
    ConnId joiner(const std::string& code, uint8_t seats, const std::string& address = "127.0.0.2",
                  uint64_t token = 0) {
        const ConnId id = greeted(address);
        say(id, wire::join_message(code, seats, token));
        return id;
    }
    std::vector<wire::Message> received(ConnId id, wire::Type type) const {
        std::vector<wire::Message> out;
        for (const auto& [to, bytes] : sent) {
            wire::Message m;
            if (to == id && !wire::decode(*bytes, m) && m.type == type) out.push_back(m);
        }
        return out;
    }
    wire::Message joined(ConnId id) const {
        auto all = received(id, wire::Type::JOINED);
        EXPECT_FALSE(all.empty());
        return all.empty() ? wire::Message{} : all.back();
    }
    // Every record of every TICKS the machine got since its last JOINED or RESYNC; checks that the
    // runs cover the ticks from 0 without a gap.
    std::vector<wire::StampedRecord> records(ConnId id) const {
        std::vector<wire::StampedRecord> out;
        uint32_t next = 0;
        for (const auto& [to, bytes] : sent) {
            wire::Message m;
            if (to != id || wire::decode(*bytes, m)) continue;
            if (m.type == wire::Type::JOINED || m.type == wire::Type::RESYNC) {
                out.clear();
                next = 0;
            }
            if (m.type != wire::Type::TICKS) continue;
            EXPECT_EQ(m.tick, next) << "ticks arrive in order, without gaps";
            next = m.tick + m.count;
            for (size_t i = 0; i < wire::ticks_record_count(m); ++i) out.push_back(wire::ticks_record(m, i));
        }
        return out;
    }
    std::vector<wire::ErrorCode> errors(ConnId id) const {
        std::vector<wire::ErrorCode> out;
        for (const auto& m : received(id, wire::Type::ERROR)) out.push_back(m.error);
        return out;
    }
    void run_ms(int ms) {
        for (int t = 0; t < ms; t += wire::TICK_MS) {
            now += wire::TICK_MS;
            hub_tick(hub, now);
        }
    }
};
