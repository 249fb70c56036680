// A whole room headless: quibbet-server's own rules (the hub) behind the virtual link, and
// several machines in this one process, each with its own copy of the game's tables swapped in
// around its session tick. A step is one tick of the clock: every machine's session tick, then
// the server hears what arrived, closes its ticks and speaks, then the clock moves 25 ms.
// What the server heard of each machine's checksums is kept, by machine and tick.
#pragma once
#include "engine/input_events.h"
#include "online/room_session.h"
#include "virtual_net.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

struct NetLink;

constexpr const char* ROOM_TEST_URL = "ws://room.test:8147/ws";

struct RoomMachine {
    RoomSession session;
    std::vector<uint8_t> game;        // its game's tables while another machine's are in
    std::vector<InputEvent> presses;  // queued for its next tick
    std::map<uint32_t, uint32_t> checksums_heard; // by tick, as the server got them
    NetLink* server_end = nullptr;    // the server's end of its link, once accepted
};

// harness_start, a fresh hub listening at ROOM_TEST_URL with these rules for every link.
void room_harness_start(const VirtualNetRules& rules = {});
void room_harness_stop();

// A machine whose game is the freshly started one (the intro), connecting with `request`
// (its url defaults to ROOM_TEST_URL).
RoomMachine& room_machine_add(RoomRequest request);
// The same machine connecting again (a new link, the same game).
void room_machine_reconnect(RoomMachine& m, RoomRequest request);

void room_press(RoomMachine& m, int32_t key);
void room_click(RoomMachine& m, int32_t x, int32_t y, int32_t button = 0);

void room_step(int32_t steps = 1);
// Steps until done() holds or `steps` went by; false if it never held.
bool room_step_until(const std::function<bool()>& done, int32_t steps);

// Runs `look` with the machine's game swapped in.
void room_with_game(RoomMachine& m, const std::function<void()>& look);

// The room's code as JOINED gave it to the machine.
std::string room_code(const RoomMachine& m);

// Ticks both machines reported to the server, and of them those whose checksums differ.
struct ChecksumAgreement {
    uint32_t compared = 0;
    uint32_t differing = 0;
};
ChecksumAgreement room_checksums_compare(const RoomMachine& a, const RoomMachine& b);
