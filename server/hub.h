// The server's rules without its sockets: connections, rooms, seats, the clock, the log and the
// checksum verdicts. The network layer feeds it what arrives and when, and carries out what it says
// through `HubOutput`; tests drive it the same way with a fake output and a clock of their own.
// One thread only (the server's io_context).
#pragma once

#include "online/wire.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

using ConnId = uint64_t;
using Bytes = std::shared_ptr<const std::vector<uint8_t>>;

struct HubOutput {
    std::function<void(ConnId, const Bytes&)> send;
    std::function<void(ConnId)> close; // once what was sent before has gone out
    std::function<void(const std::string&)> log;
};

struct RateBucket {
    double tokens = 0;
    int64_t at_ms = 0;
};

struct Connection {
    std::string address;
    int64_t heard_ms = 0;
    int64_t connected_ms = 0;
    bool greeted = false;
    std::string room; // its code; empty while in none
    uint8_t seats = 0;
    uint8_t flags = 0;
    bool away = false; // its seats are left to the computer while it is silent
    uint8_t resyncs = 0;
    uint64_t token = 0;
    RateBucket messages;
    RateBucket records;
};

struct ChecksumReports {
    uint32_t tick = 0;
    bool decided = false;
    uint32_t verdict = 0;
    std::vector<std::pair<ConnId, uint32_t>> reports;
};

struct Room {
    wire::RoomCode code{};
    uint32_t seed = 0;
    int64_t epoch_ms = 0;
    std::string opener_address;
    uint32_t closed = 0; // ticks [0, closed) are closed; `closed` is the first open tick
    std::vector<wire::StampedRecord> log;
    std::vector<wire::StampedRecord> pending; // stamped for open ticks, in stamp order
    std::array<ConnId, wire::SEATS> seat_conn{};    // 0: nobody connected in it
    std::array<uint64_t, wire::SEATS> seat_token{}; // 0: never taken
    uint8_t menu_owner = wire::NO_SEAT;
    std::vector<ConnId> members;
    std::deque<ChecksumReports> checks; // by tick, ascending
    // Checks of earlier ticks are decided or hold no report: the verdicts need not look at them.
    uint32_t undecided_from = 0;
    // For the line its end leaves in the log: how far the machines were compared, and who turned.
    std::map<size_t, uint32_t> ticks_compared_by; // machines reporting -> ticks decided so
    uint32_t differed = 0; // a machine's checksum against the verdict
    std::array<uint32_t, wire::SEATS> inputs_by_seat{};
};

struct AddressUse {
    int connections = 0;
    int rooms = 0;
    std::deque<int64_t> join_failures;
};

struct Hub {
    HubOutput out;
    std::function<uint64_t()> random; // a proper random source; tests may pass their own
    std::unordered_map<ConnId, Connection> connections;
    std::map<std::string, Room> rooms;
    std::vector<std::string> maybe_empty; // codes of rooms someone left (or just opened), to check
    std::unordered_map<std::string, AddressUse> addresses;
    ConnId next_id = 1;
    size_t open_sockets = 0;
    int64_t next_address_sweep_ms = 0;
};

// A TCP connection from `address` arrived (false: refuse it) / went away. An IPv6 address counts
// by its /64, which one household holds.
bool hub_admit(Hub& hub, const std::string& address);
void hub_release(Hub& hub, const std::string& address);
// Its WebSocket opened; every message on it, and its end, go to the hub with this id.
ConnId hub_connect(Hub& hub, const std::string& address, int64_t now_ms);
void hub_message(Hub& hub, ConnId id, std::span<const uint8_t> bytes, int64_t now_ms);
// A text frame or an unreadable frame: the format is broken.
void hub_refuse(Hub& hub, ConnId id, const char* why, int64_t now_ms);
void hub_disconnect(Hub& hub, ConnId id, int64_t now_ms);
// Closes due ticks, leaves silent seats to the computer, closes idle connections; call every
// TICK_MS, at multiples of it on the clock of `now_ms`.
void hub_tick(Hub& hub, int64_t now_ms);

uint64_t system_random();
