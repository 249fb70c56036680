#include "room_harness.h"

#include "game/music_request.h"
#include "game/snapshot.h"
#include "game_harness.h"
#include "platform/clock.h"
#include "platform/net_link.h"
#include "server/hub.h"
#include "virtual_platform.h"

#include <deque>
#include <memory>

namespace {

constexpr int32_t STEP_MS = 25;

struct ServerEnd {
    NetLink* link;
    RoomMachine* machine;
    std::string address;
};

std::unique_ptr<Hub> hub;
std::deque<RoomMachine> machines;
std::deque<RoomMachine*> connecting; // machines in the order their links were opened
std::map<ConnId, ServerEnd> ends;
std::vector<ConnId> closing; // the hub's closes, carried out once it has returned
uint32_t addresses;

void end_connection(ConnId id) {
    auto it = ends.find(id);
    if (it == ends.end()) return;
    if (it->second.machine) it->second.machine->server_end = nullptr;
    net_link_close(it->second.link);
    const std::string address = it->second.address;
    ends.erase(it);
    hub_disconnect(*hub, id, platform_clock_ms());
    hub_release(*hub, address);
}

void hear_checksums(RoomMachine* m, std::span<const uint8_t> bytes) {
    wire::Message msg;
    if (!m || wire::decode(bytes, msg) || msg.type != wire::Type::CHECKSUMS) return;
    for (uint32_t i = 0; i < msg.count; ++i)
        m->checksums_heard[msg.tick + i] = msg.checksums[i];
}

void server_step() {
    const int64_t now = platform_clock_ms();
    while (NetLink* link = virtual_net_accept()) {
        RoomMachine* m = connecting.empty() ? nullptr : connecting.front();
        if (!connecting.empty()) connecting.pop_front();
        const std::string address = "127.0.0." + std::to_string(++addresses);
        if (!hub_admit(*hub, address)) {
            net_link_close(link);
            continue;
        }
        const ConnId id = hub_connect(*hub, address, now);
        ends[id] = {link, m, address};
        if (m) m->server_end = link;
    }
    for (auto& [id, end] : ends) {
        std::span<const uint8_t> bytes;
        while (ends.count(id) && net_link_receive(end.link, &bytes)) {
            hear_checksums(end.machine, bytes);
            hub_message(*hub, id, bytes, now);
        }
        if (net_link_state(end.link) == NetLinkState::closed) closing.push_back(id);
    }
    hub_tick(*hub, now);
    while (!closing.empty()) {
        const ConnId id = closing.back();
        closing.pop_back();
        end_connection(id);
    }
}

void machine_tick(RoomMachine& m) {
    snapshot_restore(m.game);
    for (const InputEvent& e : m.presses)
        if (InputEvent* queued = event_push()) *queued = e;
    m.presses.clear();
    room_session_tick(m.session);
    room_session_drawn(m.session); // as the window draws after a tick
    snapshot_save(m.game);
}

} // namespace

void room_harness_start(const VirtualNetRules& rules) {
    harness_start();
    machines.clear();
    connecting.clear();
    ends.clear();
    closing.clear();
    addresses = 0;
    hub = std::make_unique<Hub>();
    uint64_t draws = 1;
    hub->random = [draws]() mutable { return draws = draws * 6364136223846793005ull + 1442695040888963407ull; };
    hub->out.send = [](ConnId id, const Bytes& bytes) {
        if (auto it = ends.find(id); it != ends.end()) net_link_send(it->second.link, *bytes);
    };
    hub->out.close = [](ConnId id) { closing.push_back(id); };
    hub->out.log = [](const std::string&) {};
    virtual_net_set_rules(rules);
    virtual_net_listen(ROOM_TEST_URL);
}

void room_harness_stop() {
    for (RoomMachine& m : machines)
        room_session_end(m.session);
    while (!ends.empty())
        end_connection(ends.begin()->first);
    machines.clear();
    hub.reset();
    harness_stop();
}

RoomMachine& room_machine_add(RoomRequest request) {
    RoomMachine& m = machines.emplace_back();
    // The music player's thread sleeps on the virtual clock and would move it under the room.
    music_state = MUSIC_OFF;
    m.game.resize(snapshot_size());
    snapshot_save(m.game);
    room_machine_reconnect(m, std::move(request));
    return m;
}

void room_machine_reconnect(RoomMachine& m, RoomRequest request) {
    if (request.url.empty()) request.url = ROOM_TEST_URL;
    room_session_end(m.session);
    room_session_start(m.session, request);
    connecting.push_back(&m);
}

void room_press(RoomMachine& m, int32_t key) {
    m.presses.push_back({EVENT_KEY, 1, key, 0, 0, SEAT_NONE, 0});
}

void room_click(RoomMachine& m, int32_t x, int32_t y, int32_t button) {
    m.presses.push_back({EVENT_MOUSE_BUTTON, 1, button, x, y, SEAT_NONE, 0});
}

void room_step(int32_t steps) {
    for (int32_t i = 0; i < steps; ++i) {
        for (RoomMachine& m : machines)
            machine_tick(m);
        server_step();
        virtual_clock_advance(STEP_MS);
    }
}

bool room_step_until(const std::function<bool()>& done, int32_t steps) {
    for (int32_t i = 0; i < steps; ++i) {
        if (done()) return true;
        room_step();
    }
    return done();
}

void room_with_game(RoomMachine& m, const std::function<void()>& look) {
    snapshot_restore(m.game);
    look();
    snapshot_save(m.game);
}

std::string room_code(const RoomMachine& m) {
    return std::string(m.session.code.begin(), m.session.code.end());
}

ChecksumAgreement room_checksums_compare(const RoomMachine& a, const RoomMachine& b) {
    ChecksumAgreement agreement;
    for (const auto& [tick, sum] : a.checksums_heard) {
        auto other = b.checksums_heard.find(tick);
        if (other == b.checksums_heard.end()) continue;
        ++agreement.compared;
        if (other->second != sum) ++agreement.differing;
    }
    return agreement;
}
