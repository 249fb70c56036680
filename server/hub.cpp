// Connections: the hello, the way into a room, the checks every message passes, the limits per
// connection and per address, and the clock that drives the rooms.
#include "server/hub.h"

#include "server/limits.h"
#include "server/room.h"
#include "server/room_code.h"

#include <algorithm>
#include <random>

namespace {

bool rate_take(RateBucket& bucket, double per_second, double amount, int64_t now_ms) {
    const double capacity = per_second * limits::RATE_BURST_SECONDS;
    bucket.tokens = std::min(capacity, bucket.tokens + per_second * static_cast<double>(now_ms - bucket.at_ms) / 1000.0);
    bucket.at_ms = now_ms;
    if (bucket.tokens < amount) return false;
    bucket.tokens -= amount;
    return true;
}

// Only the rooms that may have emptied since the last call are looked at: going over every room on
// every message was most of the server's time with a thousand rooms.
void erase_empty_rooms(Hub& hub) {
    const std::vector<std::string> maybe_empty = std::move(hub.maybe_empty);
    hub.maybe_empty.clear();
    for (const std::string& code : maybe_empty) {
        auto it = hub.rooms.find(code);
        if (it == hub.rooms.end() || !it->second.members.empty()) continue;
        hub.out.log("room " + it->first + " closed: " + room_summary(it->second));
        auto use = hub.addresses.find(it->second.opener_address);
        if (use != hub.addresses.end()) --use->second.rooms;
        hub.rooms.erase(it);
    }
}

// Forgets an address once nothing of it is left to count.
void forget_address_if_unused(Hub& hub, const std::string& address, int64_t now_ms) {
    auto it = hub.addresses.find(address);
    if (it == hub.addresses.end()) return;
    auto& failures = it->second.join_failures;
    while (!failures.empty() && now_ms - failures.front() > limits::JOIN_FAILURE_WINDOW_MS) failures.pop_front();
    if (it->second.connections == 0 && it->second.rooms == 0 && failures.empty()) hub.addresses.erase(it);
}

// Takes a connection out of its room and forgets it; an emptied room stays until the caller is
// done with the tables (erase_empty_rooms).
void leave(Hub& hub, ConnId id, int64_t now_ms) {
    auto it = hub.connections.find(id);
    if (it == hub.connections.end()) return;
    if (!it->second.room.empty()) room_leave(hub, hub.rooms.at(it->second.room), id);
    const std::string address = it->second.address;
    hub.connections.erase(it);
    forget_address_if_unused(hub, address, now_ms);
}

std::string seats_text(uint8_t mask) {
    std::string text;
    for (int s = 0; s < wire::SEATS; ++s)
        if (mask & 1u << s) text += (text.empty() ? "" : ",") + std::to_string(s + 1);
    return text.empty() ? "none (watching)" : text;
}

void send_joined(Hub& hub, ConnId id, const Connection& c, const Room& room) {
    wire::Message joined;
    joined.type = wire::Type::JOINED;
    joined.code = room.code;
    joined.seed = room.seed;
    joined.seat_mask = c.seats;
    joined.flags = c.flags;
    joined.token = c.token;
    joined.tick = room.closed;
    hub_send(hub, id, joined);
    if (!(c.flags & wire::FLAG_CONTROLLER)) room_send_log(hub, room, id);
}

void enter_room(Hub& hub, ConnId id, Room& room, const wire::Message& m, int64_t now_ms) {
    Connection& c = hub.connections.at(id);
    const auto& tokens = room.seat_token;
    const bool returning = m.token && std::find(tokens.begin(), tokens.end(), m.token) != tokens.end();
    const bool seat_left = std::find(tokens.begin(), tokens.end(), 0u) != tokens.end();
    if (!returning && (m.seats_wanted == 0 || !seat_left)) {
        const auto watchers = std::count_if(room.members.begin(), room.members.end(),
                                            [&](ConnId other) { return hub.connections.at(other).seats == 0; });
        if (watchers >= limits::MAX_WATCHERS_PER_ROOM) {
            hub_drop(hub, id, wire::ErrorCode::ROOM_FULL, "room " + room_name(room) + " is full", now_ms);
            return;
        }
    }
    c.room = room_name(room);
    c.flags = m.flags;
    room.members.push_back(id);
    c.seats = room_seat(hub, room, id, m.token, m.seats_wanted, now_ms);
    Connection& seated = hub.connections.at(id); // seating may have closed an older connection
    hub.out.log("room " + seated.room + ": " + seated.address + " joined, seats " + seats_text(seated.seats) +
                (seated.flags & wire::FLAG_CONTROLLER ? " (controller)" : ""));
    send_joined(hub, id, seated, room);
}

void on_open(Hub& hub, ConnId id, const wire::Message& m, int64_t now_ms) {
    Connection& c = hub.connections.at(id);
    AddressUse& use = hub.addresses[c.address];
    if (use.rooms >= limits::MAX_ROOMS_PER_ADDRESS) {
        hub_drop(hub, id, wire::ErrorCode::TOO_MANY, "too many rooms are open from this address", now_ms);
        return;
    }
    ++use.rooms;
    Room& room = room_open(hub, c.address, now_ms);
    hub.out.log("room " + room_name(room) + " opened by " + c.address);
    wire::Message join = m;
    join.token = 0;
    enter_room(hub, id, room, join, now_ms);
}

void on_join(Hub& hub, ConnId id, const wire::Message& m, int64_t now_ms) {
    Connection& c = hub.connections.at(id);
    AddressUse& use = hub.addresses[c.address];
    auto& failures = use.join_failures;
    while (!failures.empty() && now_ms - failures.front() > limits::JOIN_FAILURE_WINDOW_MS) failures.pop_front();
    if (failures.size() >= static_cast<size_t>(limits::MAX_JOIN_FAILURES_PER_ADDRESS)) {
        hub_drop(hub, id, wire::ErrorCode::TOO_MANY, "too many unknown room codes from this address; wait a minute",
                 now_ms);
        return;
    }
    const std::string code = room_code_normalized(m.code);
    auto room = hub.rooms.find(code);
    if (room == hub.rooms.end()) {
        failures.push_back(now_ms);
        hub_drop(hub, id, wire::ErrorCode::ROOM_NOT_FOUND, "there is no room " + code + " on this server", now_ms);
        return;
    }
    enter_room(hub, id, room->second, m, now_ms);
}

void on_input(Hub& hub, ConnId id, Connection& c, Room& room, const wire::Message& m, int64_t now_ms) {
    for (uint32_t i = 0; i < m.count; ++i) {
        if (!(c.seats & 1u << m.inputs[i].seat)) {
            hub_drop(hub, id, wire::ErrorCode::BAD_MESSAGE, "an input for a seat that is not this machine's", now_ms);
            return;
        }
    }
    if (m.tick > room.closed + wire::MAX_TICKS_AHEAD) {
        hub_drop(hub, id, wire::ErrorCode::BAD_MESSAGE, "an input for a tick too far ahead of the room's clock",
                 now_ms);
        return;
    }
    if (!rate_take(c.records, limits::MAX_INPUT_RECORDS_PER_SECOND, m.count, now_ms)) {
        hub_drop(hub, id, wire::ErrorCode::TOO_MANY, "too many inputs; the connection is closed", now_ms);
        return;
    }
    for (uint32_t i = 0; i < m.count; ++i) {
        room_stamp(room, m.tick, m.inputs[i]);
        ++room.inputs_by_seat[m.inputs[i].seat];
    }
}

void on_message(Hub& hub, ConnId id, const wire::Message& m, int64_t now_ms) {
    Connection& c = hub.connections.at(id);
    if (m.type == wire::Type::HELLO) {
        if (c.greeted) return hub_drop(hub, id, wire::ErrorCode::BAD_MESSAGE, "a second hello", now_ms);
        c.greeted = true;
        wire::Message welcome;
        welcome.type = wire::Type::WELCOME;
        welcome.version = wire::VERSION;
        hub_send(hub, id, welcome);
        if (m.version != wire::VERSION)
            hub_drop(hub, id, wire::ErrorCode::VERSION,
                     "this server speaks version " + std::to_string(wire::VERSION) + " and this game version " +
                         std::to_string(m.version) + ": both need the same Quibbet",
                     now_ms);
        return;
    }
    if (!c.greeted) return hub_drop(hub, id, wire::ErrorCode::BAD_MESSAGE, "no hello first", now_ms);
    const bool in_room = !c.room.empty();
    switch (m.type) {
    case wire::Type::OPEN:
    case wire::Type::JOIN:
        if (in_room) return hub_drop(hub, id, wire::ErrorCode::BAD_MESSAGE, "already in a room", now_ms);
        return m.type == wire::Type::OPEN ? on_open(hub, id, m, now_ms) : on_join(hub, id, m, now_ms);
    case wire::Type::INPUT:
    case wire::Type::CHECKSUMS: {
        if (!in_room) return hub_drop(hub, id, wire::ErrorCode::BAD_MESSAGE, "not in a room", now_ms);
        Room& room = hub.rooms.at(c.room);
        if (m.type == wire::Type::INPUT) return on_input(hub, id, c, room, m, now_ms);
        if (!(c.flags & wire::FLAG_CONTROLLER)) room_checksums(hub, room, id, m, now_ms);
        return;
    }
    case wire::Type::PING:
        return;
    default:
        return hub_drop(hub, id, wire::ErrorCode::BAD_MESSAGE, "a server's message from a machine", now_ms);
    }
}

} // namespace

uint64_t system_random() {
    static std::random_device device;
    return static_cast<uint64_t>(device()) << 32 | device();
}

bool hub_admit(Hub& hub, const std::string& address) {
    AddressUse& use = hub.addresses[address];
    if (hub.open_sockets >= limits::MAX_CONNECTIONS || use.connections >= limits::MAX_CONNECTIONS_PER_ADDRESS) {
        if (use.connections == 0 && use.rooms == 0 && use.join_failures.empty()) hub.addresses.erase(address);
        return false;
    }
    ++use.connections;
    ++hub.open_sockets;
    return true;
}

void hub_release(Hub& hub, const std::string& address) {
    auto it = hub.addresses.find(address);
    if (it == hub.addresses.end()) return;
    --it->second.connections;
    --hub.open_sockets;
    const AddressUse& use = it->second;
    if (use.connections == 0 && use.rooms == 0 && use.join_failures.empty()) hub.addresses.erase(it);
}

ConnId hub_connect(Hub& hub, const std::string& address, int64_t now_ms) {
    const ConnId id = hub.next_id++;
    Connection& c = hub.connections[id];
    c.address = address;
    c.connected_ms = c.heard_ms = now_ms;
    c.messages = {limits::MAX_MESSAGES_PER_SECOND * double(limits::RATE_BURST_SECONDS), now_ms};
    c.records = {limits::MAX_INPUT_RECORDS_PER_SECOND * double(limits::RATE_BURST_SECONDS), now_ms};
    return id;
}

void hub_message(Hub& hub, ConnId id, std::span<const uint8_t> bytes, int64_t now_ms) {
    auto it = hub.connections.find(id);
    if (it == hub.connections.end()) return;
    Connection& c = it->second;
    wire::Message m;
    if (const char* why = wire::decode(bytes, m)) {
        hub_refuse(hub, id, why, now_ms);
    } else if (!rate_take(c.messages, limits::MAX_MESSAGES_PER_SECOND, 1, now_ms)) {
        hub_drop(hub, id, wire::ErrorCode::TOO_MANY, "too many messages; the connection is closed", now_ms);
    } else {
        c.heard_ms = now_ms;
        if (c.away) {
            c.away = false;
            room_seats_back(hub, hub.rooms.at(c.room), c);
        }
        on_message(hub, id, m, now_ms);
    }
    erase_empty_rooms(hub);
}

void hub_refuse(Hub& hub, ConnId id, const char* why, int64_t now_ms) {
    hub_drop(hub, id, wire::ErrorCode::BAD_MESSAGE, std::string("a message broke the format: ") + why, now_ms);
    erase_empty_rooms(hub);
}

void hub_send(Hub& hub, ConnId id, const wire::Message& m) {
    auto bytes = std::make_shared<std::vector<uint8_t>>();
    wire::encode(m, *bytes);
    hub.out.send(id, bytes);
}

void hub_drop(Hub& hub, ConnId id, wire::ErrorCode code, const std::string& text, int64_t now_ms) {
    auto it = hub.connections.find(id);
    if (it == hub.connections.end()) return;
    hub.out.log("connection from " + it->second.address + " closed: " + text);
    hub_send(hub, id, wire::error_message(code, text.c_str()));
    hub.out.close(id);
    leave(hub, id, now_ms);
}

void hub_disconnect(Hub& hub, ConnId id, int64_t now_ms) {
    leave(hub, id, now_ms);
    erase_empty_rooms(hub);
}

void hub_tick(Hub& hub, int64_t now_ms) {
    std::vector<std::pair<ConnId, const char*>> idle;
    for (auto& [id, c] : hub.connections) {
        if (!c.greeted && now_ms - c.connected_ms > wire::HELLO_TIMEOUT_MS) {
            idle.emplace_back(id, "no hello in time");
        } else if (now_ms - c.heard_ms > limits::IDLE_CLOSE_MS) {
            idle.emplace_back(id, "silent for too long");
        } else if (!c.away && c.seats && now_ms - c.heard_ms > wire::SEAT_SILENCE_MS) {
            c.away = true;
            room_seats_to_computer(hub, hub.rooms.at(c.room), c, "silent");
        }
    }
    for (auto [id, why] : idle) hub_drop(hub, id, wire::ErrorCode::TIMEOUT, why, now_ms);
    for (auto& [code, room] : hub.rooms)
        if (!room.members.empty()) room_close_ticks(hub, room, now_ms);
    erase_empty_rooms(hub);
    // Addresses that only remember old tries at codes are forgotten once those have expired.
    if (now_ms >= hub.next_address_sweep_ms) {
        hub.next_address_sweep_ms = now_ms + limits::JOIN_FAILURE_WINDOW_MS / 4;
        std::vector<std::string> unused;
        for (const auto& [address, use] : hub.addresses)
            if (use.connections == 0 && use.rooms == 0) unused.push_back(address);
        for (const std::string& address : unused) forget_address_if_unused(hub, address, now_ms);
    }
}
