// One room: seats, the clock and the log, the menu's owner, and the checksum verdicts.
#include "server/room.h"

#include "server/limits.h"
#include "server/room_code.h"

#include <algorithm>

namespace {

bool is_game_machine(const Connection& c) { return !(c.flags & wire::FLAG_CONTROLLER); }

void room_event(Room& room, uint8_t kind, uint8_t seat) {
    wire::InputRecord event;
    event.kind = kind;
    event.seat = seat;
    room_stamp(room, room.closed, event);
}

// A person at a machine that shows the game (a phone's turn buttons cannot work the menu).
bool seat_can_own_menu(const Hub& hub, const Room& room, int seat) {
    if (!room.seat_conn[seat]) return false;
    auto it = hub.connections.find(room.seat_conn[seat]);
    return it != hub.connections.end() && !it->second.away && is_game_machine(it->second);
}

// The menu goes to the next seat such a person sits in, counting on from its last owner.
void pass_menu(Hub& hub, Room& room) {
    const int from = room.menu_owner == wire::NO_SEAT ? 0 : room.menu_owner + 1;
    uint8_t next = wire::NO_SEAT;
    for (int i = 0; i < wire::SEATS && next == wire::NO_SEAT; ++i)
        if (seat_can_own_menu(hub, room, (from + i) % wire::SEATS)) next = static_cast<uint8_t>((from + i) % wire::SEATS);
    if (next == room.menu_owner) return;
    room.menu_owner = next;
    room_event(room, wire::KIND_MENU_OWNER, next);
    hub.out.log("room " + room_name(room) + ": the menu goes to " +
                (next == wire::NO_SEAT ? std::string("nobody") : "seat " + std::to_string(next + 1)));
}

void claim_menu_if_unowned(Hub& hub, Room& room) {
    if (room.menu_owner == wire::NO_SEAT) pass_menu(hub, room);
}

// Controllers too: they run no game, but the ticks tell them the room goes on.
void send_to_room(Hub& hub, const Room& room, const Bytes& bytes) {
    for (ConnId id : room.members) hub.out.send(id, bytes);
}

// Cuts the closed ticks [first, end) with their records (in stamp order) into TICKS messages.
template <class Emit>
void for_each_run(std::span<const wire::StampedRecord> records, uint32_t first, uint32_t end, Emit emit) {
    size_t i = 0;
    while (first < end) {
        uint32_t run_end = first + std::min(end - first, wire::MAX_TICKS_RUN);
        size_t j = i;
        while (j < records.size() && records[j].tick < run_end && j - i < wire::MAX_TICKS_RECORDS) ++j;
        if (j < records.size() && records[j].tick < run_end) {
            // Full: end the run before the tick that did not fit, so no tick is split.
            run_end = records[j].tick;
            while (j > i && records[j - 1].tick == run_end) --j;
        }
        emit(first, run_end - first, records.subspan(i, j - i));
        first = run_end;
        i = j;
    }
}

Bytes ticks_bytes(uint32_t first, uint32_t count, std::span<const wire::StampedRecord> records) {
    auto bytes = std::make_shared<std::vector<uint8_t>>();
    wire::put_ticks(*bytes, first, count, records);
    return bytes;
}

void end_room(Hub& hub, Room& room, int64_t now_ms) {
    const std::vector<ConnId> members = room.members;
    for (ConnId id : members)
        hub_drop(hub, id, wire::ErrorCode::ROOM_ENDED, "room " + room_name(room) + " has run too long; open a new one",
                 now_ms);
}

void differs(Hub& hub, Room& room, ConnId id, uint32_t tick, int64_t now_ms) {
    Connection& c = hub.connections.at(id);
    ++room.differed;
    if (c.resyncs > 0) {
        hub_drop(hub, id, wire::ErrorCode::DESYNC,
                 "this machine's game differs from the room's even after running the log again", now_ms);
        return;
    }
    ++c.resyncs;
    for (ChecksumReports& check : room.checks)
        if (!check.decided)
            std::erase_if(check.reports, [id](const auto& report) { return report.first == id; });
    hub.out.log("room " + room_name(room) + ": the machine of " + c.address + " differs at tick " +
                std::to_string(tick) + "; it runs the log again");
    wire::Message resync;
    resync.type = wire::Type::RESYNC;
    hub_send(hub, id, resync);
    room_send_log(hub, room, id);
}

// Most machines' checksum wins; a tie goes to the menu owner's machine, then to the first report.
uint32_t verdict_of(const Room& room, const ChecksumReports& check) {
    const ConnId owner = room.menu_owner == wire::NO_SEAT ? 0 : room.seat_conn[room.menu_owner];
    uint32_t best = check.reports.front().second;
    long best_votes = 0;
    bool best_owner = false;
    for (const auto& [id, hash] : check.reports) {
        const long votes = std::count_if(check.reports.begin(), check.reports.end(),
                                         [hash = hash](const auto& r) { return r.second == hash; });
        const bool owner_says = std::any_of(check.reports.begin(), check.reports.end(), [&, hash = hash](const auto& r) {
            return r.second == hash && r.first == owner && owner != 0;
        });
        if (votes > best_votes || (votes == best_votes && owner_says && !best_owner)) {
            best = hash;
            best_votes = votes;
            best_owner = owner_says;
        }
    }
    return best;
}

void decide_checksums(Hub& hub, Room& room, int64_t now_ms) {
    while (!room.checks.empty() && room.checks.front().tick + limits::CHECKSUM_WINDOW_TICKS < room.closed)
        room.checks.pop_front();
    const size_t machines = static_cast<size_t>(std::count_if(
        room.members.begin(), room.members.end(), [&](ConnId id) { return is_game_machine(hub.connections.at(id)); }));
    std::vector<std::pair<ConnId, uint32_t>> differing;
    // Most of the window is decided already; going over all of it every tick in every room was the
    // server's main cost.
    for (auto it = std::lower_bound(room.checks.begin(), room.checks.end(), room.undecided_from,
                                    [](const ChecksumReports& r, uint32_t t) { return r.tick < t; });
         it != room.checks.end(); ++it) {
        ChecksumReports& check = *it;
        if (check.decided || check.reports.empty()) continue;
        if (check.reports.size() < machines && check.tick + limits::CHECKSUM_WAIT_TICKS >= room.closed) continue;
        check.decided = true;
        check.verdict = verdict_of(room, check);
        ++room.ticks_compared_by[check.reports.size()];
        for (const auto& [id, hash] : check.reports)
            if (hash != check.verdict) differing.emplace_back(id, check.tick);
    }
    if (room.closed > limits::CHECKSUM_WAIT_TICKS)
        room.undecided_from = std::max(room.undecided_from, room.closed - limits::CHECKSUM_WAIT_TICKS);
    // A machine that went astray differs at every tick after; one verdict tells it once.
    std::vector<ConnId> told;
    for (auto [id, tick] : differing) {
        if (std::find(told.begin(), told.end(), id) != told.end()) continue;
        told.push_back(id);
        if (hub.connections.count(id) && hub.connections.at(id).room == room_name(room)) differs(hub, room, id, tick, now_ms);
    }
}

} // namespace

std::string room_name(const Room& room) { return std::string(room.code.begin(), room.code.end()); }

std::string room_summary(const Room& room) {
    std::string text = std::to_string(room.closed) + " ticks; checksums compared at";
    if (room.ticks_compared_by.empty()) text += " none";
    for (auto it = room.ticks_compared_by.rbegin(); it != room.ticks_compared_by.rend(); ++it)
        text += " " + std::to_string(it->second) + " ticks from " + std::to_string(it->first) + " machines,";
    text += " a machine differed " + std::to_string(room.differed) + " times; inputs by seat";
    for (uint32_t n : room.inputs_by_seat) text += " " + std::to_string(n);
    return text;
}

Room& room_open(Hub& hub, const std::string& opener_address, int64_t now_ms) {
    std::string code;
    do code = room_code_new(hub.random);
    while (hub.rooms.count(code));
    Room& room = hub.rooms[code];
    std::copy(code.begin(), code.end(), room.code.begin());
    room.seed = static_cast<uint32_t>(hub.random());
    // On the hub's own beat (it is called every TICK_MS from its start), so a tick is closed when its
    // time comes rather than up to a beat later.
    room.epoch_ms = now_ms - now_ms % wire::TICK_MS;
    room.opener_address = opener_address;
    hub.maybe_empty.push_back(code); // until its opener is in
    return room;
}

uint8_t room_seat(Hub& hub, Room& room, ConnId id, uint64_t token, uint8_t wanted, int64_t now_ms) {
    uint8_t mask = 0;
    if (token) {
        for (int s = 0; s < wire::SEATS; ++s)
            if (room.seat_token[s] == token) mask |= static_cast<uint8_t>(1u << s);
    }
    if (mask) {
        // Taken back: an older connection with the same token still in them is closed first.
        for (int s = 0; s < wire::SEATS; ++s) {
            const ConnId old = room.seat_conn[s];
            if (mask & 1u << s && old && old != id)
                hub_drop(hub, old, wire::ErrorCode::REPLACED, "this machine's seats were taken back by a newer connection",
                         now_ms);
        }
    } else {
        do token = hub.random();
        while (!token);
        for (int s = 0; s < wire::SEATS && wanted > 0; ++s) {
            if (room.seat_token[s]) continue;
            room.seat_token[s] = token;
            mask |= static_cast<uint8_t>(1u << s);
            --wanted;
        }
    }
    hub.connections.at(id).token = token;
    for (int s = 0; s < wire::SEATS; ++s) {
        if (!(mask & 1u << s)) continue;
        room.seat_conn[s] = id;
        room_event(room, wire::KIND_SEAT_PERSON, static_cast<uint8_t>(s));
    }
    claim_menu_if_unowned(hub, room);
    return mask;
}

void room_stamp(Room& room, uint32_t wanted_tick, const wire::InputRecord& record) {
    const uint32_t tick = std::max(wanted_tick, room.closed);
    auto at = std::upper_bound(room.pending.begin(), room.pending.end(), tick,
                               [](uint32_t t, const wire::StampedRecord& s) { return t < s.tick; });
    room.pending.insert(at, {tick, record});
}

void room_seats_to_computer(Hub& hub, Room& room, const Connection& c, const char* why) {
    bool had_menu = false;
    for (int s = 0; s < wire::SEATS; ++s) {
        if (!(c.seats & 1u << s)) continue;
        room_event(room, wire::KIND_SEAT_COMPUTER, static_cast<uint8_t>(s));
        had_menu |= room.menu_owner == s;
    }
    hub.out.log("room " + room_name(room) + ": seats of " + c.address + " left to the computer (" + why + ")");
    if (had_menu) pass_menu(hub, room);
}

void room_seats_back(Hub& hub, Room& room, const Connection& c) {
    for (int s = 0; s < wire::SEATS; ++s)
        if (c.seats & 1u << s) room_event(room, wire::KIND_SEAT_PERSON, static_cast<uint8_t>(s));
    hub.out.log("room " + room_name(room) + ": seats of " + c.address + " back with their person");
    claim_menu_if_unowned(hub, room);
}

void room_leave(Hub& hub, Room& room, ConnId id) {
    Connection& c = hub.connections.at(id);
    std::erase(room.members, id);
    if (room.members.empty()) hub.maybe_empty.push_back(room_name(room));
    if (c.seats) {
        for (int s = 0; s < wire::SEATS; ++s)
            if (room.seat_conn[s] == id) room.seat_conn[s] = 0;
        if (!c.away) room_seats_to_computer(hub, room, c, "gone");
    } else {
        hub.out.log("room " + room_name(room) + ": " + c.address + " left");
    }
    c.room.clear();
}

void room_close_ticks(Hub& hub, Room& room, int64_t now_ms) {
    const uint32_t due = static_cast<uint32_t>((now_ms - room.epoch_ms) / wire::TICK_MS);
    if (due <= room.closed) return;
    const auto closing_end = std::lower_bound(room.pending.begin(), room.pending.end(), due,
                                              [](const wire::StampedRecord& s, uint32_t t) { return s.tick < t; });
    const size_t from = room.log.size();
    room.log.insert(room.log.end(), room.pending.begin(), closing_end);
    room.pending.erase(room.pending.begin(), closing_end);
    for_each_run(std::span(room.log).subspan(from), room.closed, due,
                 [&](uint32_t first, uint32_t count, std::span<const wire::StampedRecord> records) {
                     send_to_room(hub, room, ticks_bytes(first, count, records));
                 });
    room.closed = due;
    if (room.log.size() + room.pending.size() > limits::MAX_LOG_RECORDS) return end_room(hub, room, now_ms);
    decide_checksums(hub, room, now_ms);
}

void room_send_log(Hub& hub, const Room& room, ConnId id) {
    for_each_run(room.log, 0, room.closed,
                 [&](uint32_t first, uint32_t count, std::span<const wire::StampedRecord> records) {
                     hub.out.send(id, ticks_bytes(first, count, records));
                 });
}

void room_checksums(Hub& hub, Room& room, ConnId id, const wire::Message& m, int64_t now_ms) {
    Connection& c = hub.connections.at(id);
    if (m.run != c.resyncs) return; // sent before it obeyed the last RESYNC
    if (m.tick + m.count > room.closed) {
        hub_drop(hub, id, wire::ErrorCode::BAD_MESSAGE, "a checksum for a tick that is not closed yet", now_ms);
        return;
    }
    // The run's ticks are consecutive: one search, then a walk.
    auto at = std::lower_bound(room.checks.begin(), room.checks.end(), m.tick,
                               [](const ChecksumReports& r, uint32_t t) { return r.tick < t; });
    for (uint32_t i = 0; i < m.count; ++i) {
        const uint32_t tick = m.tick + i;
        if (tick + limits::CHECKSUM_WINDOW_TICKS < room.closed) continue; // too old to compare
        while (at != room.checks.end() && at->tick < tick) ++at;
        if (at == room.checks.end() || at->tick != tick) at = room.checks.insert(at, ChecksumReports{tick, false, 0, {}});
        if (at->decided) {
            if (m.checksums[i] != at->verdict) return differs(hub, room, id, tick, now_ms);
            continue;
        }
        room.undecided_from = std::min(room.undecided_from, tick); // a report to decide on, even an old one
        auto mine = std::find_if(at->reports.begin(), at->reports.end(), [id](const auto& r) { return r.first == id; });
        if (mine != at->reports.end())
            mine->second = m.checksums[i];
        else
            at->reports.emplace_back(id, m.checksums[i]);
    }
}
