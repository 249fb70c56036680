// How a room feels at a distance: two machines of the headless room (the server's own rules
// behind the virtual link, the clock moved a tick at a time, a frame drawn after every tick) play
// seeded games with both people turning at random, over ways of growing length and trouble, and
// each machine's figures are printed: how long its game stood still, how late its own presses
// showed (0 ms: in the very tick that took them), its rollbacks and its waits at the limit of
// running ahead. Free of the noise of a busy machine, so one reach or lead rule can be set
// against another.
//   room_distance [GAMES]
// A tool, not a test: it never fails, it reports.
#include "engine/input_events.h"
#include "game/key_codes.h"
#include "game/rounds.h"
#include "online/room_figures.h"
#include "room_harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

constexpr int32_t KEY_ENTER = 13;
constexpr int32_t TURN_CHANCE = 10;      // each person presses once in so many ticks
constexpr int32_t LONGEST_GAME = 20'000; // ticks
constexpr int32_t SEAT_WAIT = 400;       // ticks for a machine to be seated

struct Way {
    const char* name;
    VirtualNetRules rules;
};
// One way's delay is drawn from delay_ms + 0..jitter_ms; a lost message comes retransmit_ms
// later, with all behind it, as a stalled TCP stream does.
constexpr Way WAYS[] = {
    {"the same room (0 ms)", {0, 0, 0, 200, 7}},
    {"a town away (30-50 ms a way)", {30, 20, 0, 200, 7}},
    {"a continent away (110-190 ms a way)", {110, 80, 0, 200, 7}},
    {"the same, 1 % of messages stalled 400 ms", {110, 80, 1, 400, 7}},
};

bool seated(const RoomMachine& m) {
    return m.session.phase == RoomPhase::in_room;
}

int32_t state_of(RoomMachine& m) {
    int32_t state = 0;
    room_with_game(m, [&] { state = game_state; });
    return state;
}

} // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    for (const Way& way : WAYS) {
        std::printf("%s, %d games:\n", way.name, games);
        for (int g = 0; g < games; ++g) {
            room_harness_start(way.rules);
            RoomRequest open;
            open.open = true;
            RoomMachine& a = room_machine_add(open);
            if (!room_step_until([&] { return seated(a); }, SEAT_WAIT)) return std::puts("no seat for A"), 1;
            RoomRequest join;
            const std::string code = room_code(a);
            std::memcpy(join.code.data(), code.data(), join.code.size());
            RoomMachine& b = room_machine_add(join);
            if (!room_step_until([&] { return seated(b) && room_session_owns_menu(a.session); }, SEAT_WAIT))
                return std::puts("no seat for B"), 1;
            room_press(a, KEY_ENTER);
            std::mt19937 draw(static_cast<uint32_t>(g + 1));
            room_step_until(
                [&] {
                    for (RoomMachine* m : {&a, &b})
                        if (draw() % TURN_CHANCE == 0) room_press(*m, draw() % 2 ? KEY_Q : KEY_W);
                    return state_of(a) >= STATE_OVER;
                },
                LONGEST_GAME);
            std::printf("  A %s\n  B %s\n", room_figures_line(a.session.counts).c_str(),
                        room_figures_line(b.session.counts).c_str());
            room_harness_stop();
        }
    }
    return 0;
}
