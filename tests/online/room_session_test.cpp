// Whole rooms headless: machines in one process, the server's own rules between them over the
// virtual link, the clock moved a tick at a time.
#include "engine/frame_state.h"
#include "engine/image_table.h"
#include "engine/scene.h"
#include "game/computer_players.h"
#include "game/key_codes.h"
#include "game/menu.h"
#include "game/players.h"
#include "game/rounds.h"
#include "../replay/played_back.h"
#include "online/replay_format.h"
#include "room_harness.h"
#include "virtual_platform.h"

#include "audio/sfx.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr int32_t KEY_ENTER = 13;
constexpr int32_t LEVEL_NEXT_X = 310, LEVEL_NEXT_Y = 265;
constexpr int32_t FIRST_KEYS_X = 580, FIRST_KEYS_Y = 156; // the first slot's controls picture
// A way with some distance and trouble on it: 60-100 ms a way, a few messages late.
constexpr VirtualNetRules FAR_AWAY{60, 40, 3, 200, 7};

RoomRequest opening(uint8_t seats = 1) {
    RoomRequest r;
    r.open = true;
    r.seats = seats;
    return r;
}

RoomRequest joining(const std::string& code, uint8_t seats = 1, uint64_t token = 0) {
    RoomRequest r;
    std::memcpy(r.code.data(), code.data(), std::min(code.size(), r.code.size()));
    r.seats = seats;
    r.token = token;
    return r;
}

bool seated(const RoomMachine& m) {
    return m.session.phase == RoomPhase::in_room;
}

template <class T> T read(RoomMachine& m, const T& table) {
    T value{};
    room_with_game(m, [&] { value = table; });
    return value;
}

// Who steers each seat as the machine's menu and score panel show it, and whether the computer
// took the seat over from a person.
std::string steering(RoomMachine& m) {
    std::string seats;
    room_with_game(m, [&] {
        for (int32_t seat = 0; seat < wire::SEATS; ++seat) {
            seats += "YFCN"[static_cast<int>(room_seat_steering(m.session, seat))];
            if (m.session.room.left >> seat & 1u) seats += '!';
        }
    });
    return seats;
}

std::string scene(RoomMachine& m) {
    std::string name;
    room_with_game(m, [&] { name = current_scene >= 0 ? scene_table[current_scene].name : ""; });
    return name;
}

struct RoomTest : testing::Test {
    RoomMachine* a = nullptr;
    RoomMachine* b = nullptr;

    void TearDown() override { room_harness_stop(); }

    // A opens, B joins by the code; both in the room's menu, A owning it.
    void two_in_room(const VirtualNetRules& rules = FAR_AWAY) {
        room_harness_start(rules);
        a = &room_machine_add(opening());
        ASSERT_TRUE(room_step_until([&] { return seated(*a); }, 200));
        b = &room_machine_add(joining(room_code(*a)));
        ASSERT_TRUE(room_step_until([&] { return seated(*b) && room_session_owns_menu(a->session); }, 200));
    }

    void start_game() {
        room_press(*a, KEY_ENTER);
        ASSERT_TRUE(room_step_until([&] { return read(*b, game_state) == STATE_PLAYING; }, 200));
    }

    // Both turn now and then, each on its own keys, until the game is decided on A.
    void play_until_decided() {
        uint32_t draws = 12345;
        ASSERT_TRUE(room_step_until(
            [&] {
                draws = draws * 1664525u + 1013904223u;
                if ((draws >> 24) % 9 == 0) room_press(*a, (draws >> 8) & 1 ? KEY_Q : KEY_W);
                if ((draws >> 16) % 11 == 0) room_press(*b, (draws >> 4) & 1 ? KEY_Q : KEY_W);
                return read(*a, game_state) >= STATE_OVER;
            },
            6000));
    }

    void expect_agreement(uint32_t at_least) {
        room_step(40); // the last checksums reach the server
        const ChecksumAgreement agreement = room_checksums_compare(*a, *b);
        EXPECT_GE(agreement.compared, at_least);
        EXPECT_EQ(agreement.differing, 0u);
    }
};

TEST_F(RoomTest, TwoMachinesPlayOneGameAlikeThroughRollbacks) {
    two_in_room();
    start_game();
    play_until_decided();
    expect_agreement(150);
    // The other's turns arrive only with the closed ticks: each machine went back for them,
    // never further than it may run ahead.
    for (RoomMachine* m : {a, b}) {
        EXPECT_GT(m->session.counts.rollbacks, 0u);
        EXPECT_LE(m->session.counts.longest_rollback, ROOM_PREDICTION_MAX);
    }
    const auto pa = read(*a, players), pb = read(*b, players);
    for (int32_t p = 0; p < PLAYER_SLOTS; ++p)
        EXPECT_EQ(std::memcmp(&pa[p], &pb[p], sizeof pa[p]), 0) << "player " << p;
}

TEST_F(RoomTest, OwnTurnShowsAtOnceAndLandsWhereItWasPredicted) {
    two_in_room({60, 10, 0, 200, 3});
    start_game();
    ASSERT_TRUE(room_step_until([&] { return read(*a, game_state) == STATE_PLAYING; }, 200));
    const int32_t facing = read(*a, players)[0].facing;
    const uint32_t shown = a->session.counts.presses_shown;
    room_press(*a, KEY_W);
    room_step();
    EXPECT_EQ(read(*a, players)[0].facing, (facing + 1) % FACINGS);
    EXPECT_LT(a->session.closed, a->session.predicted); // shown before the server closed it
    EXPECT_EQ(a->session.counts.presses_shown, shown + 1);
    EXPECT_EQ(a->session.counts.press_shown_worst_ms, 0); // drawn in the tick that took it
    const uint32_t rollbacks = a->session.counts.rollbacks;
    room_step(40);
    EXPECT_EQ(a->session.counts.rollbacks, rollbacks);
    expect_agreement(40);
}

TEST_F(RoomTest, RunsAheadAtMostItsReachThenCatchesUp) {
    two_in_room();
    start_game();
    virtual_net_rules(a->server_end).delay_ms = 1500; // the server's ticks reach A late
    room_step(80);
    EXPECT_LE(a->session.predicted - a->session.closed, ROOM_PREDICTION_MAX);
    EXPECT_GT(a->session.counts.waits, 0u);
    EXPECT_GE(a->session.counts.longest_still_ms, 1000); // the delay less the reach ahead
    virtual_net_rules(a->server_end).delay_ms = 20;
    ASSERT_TRUE(room_step_until([&] { return a->session.confirmed + 4 >= b->session.confirmed; }, 200));
    expect_agreement(100);
}

TEST_F(RoomTest, LateWatcherCatchesUpFromTheLog) {
    two_in_room();
    start_game();
    room_step(300);
    RoomMachine& c = room_machine_add(joining(room_code(*a), 0));
    ASSERT_TRUE(room_step_until([&] { return seated(c) && c.session.confirmed + 8 >= a->session.confirmed; }, 100));
    EXPECT_EQ(c.session.seat_mask, 0);
    room_step(100);
    const ChecksumAgreement agreement = room_checksums_compare(*a, c);
    EXPECT_GE(agreement.compared, 60u);
    EXPECT_EQ(agreement.differing, 0u);
}

TEST_F(RoomTest, VanishedMachinesSeatGoesToTheComputerAndComesBack) {
    two_in_room();
    start_game();
    const uint64_t token = b->session.token;
    virtual_net_cut(b->server_end);
    ASSERT_TRUE(room_step_until([&] { return read(*a, computer_slots)[1] != 0; }, 120)); // within 3 s
    EXPECT_EQ(steering(*a), "YC!NN");
    EXPECT_EQ(b->session.phase, RoomPhase::failed);
    EXPECT_EQ(b->session.failure, "connection lost");
    room_machine_reconnect(*b, joining(room_code(*a), 1, token));
    ASSERT_TRUE(room_step_until([&] { return seated(*b) && read(*a, computer_slots)[1] == 0; }, 200));
    EXPECT_EQ(b->session.seat_mask, 0b10);
    EXPECT_EQ(steering(*a), "YFNN");
    room_step(20);
    EXPECT_EQ(steering(*b), "FYNN");
    b->checksums_heard.clear();
    expect_agreement(30);

    // The game, with the seat's change and return in it, is kept by both machines as closed (the
    // one that came back, from the log): the same file, which plays to the end it recorded.
    play_until_decided();
    const auto& kept = virtual_platform().store[STORE_DATA];
    ASSERT_TRUE(room_step_until([&] { return kept.size() == 2; }, 2000));
    const std::string file_a = kept.begin()->second, file_b = std::next(kept.begin())->second;
    EXPECT_EQ(file_a, file_b);
    const ReplayOpened opened = replay_open({reinterpret_cast<const uint8_t*>(file_a.data()), file_a.size()});
    ASSERT_TRUE(opened.ok) << opened.message;
    room_harness_stop();
    EXPECT_EQ(played_back({file_a.begin(), file_a.end()}), opened.final_checksum);
}

TEST_F(RoomTest, CreditsWhileTheRoomGoesOnThenCatchUp) {
    two_in_room();
    start_game();
    room_press(*a, KEY_ESCAPE);
    room_step();
    EXPECT_EQ(scene(*a), "credits");
    const uint32_t away_at = a->session.confirmed;
    room_step(200);
    EXPECT_EQ(a->session.confirmed, away_at);
    EXPECT_GT(b->session.confirmed, away_at + 150);
    room_press(*a, KEY_ENTER);
    ASSERT_TRUE(room_step_until([&] { return a->session.confirmed + 8 >= b->session.confirmed; }, 20));
    EXPECT_EQ(scene(*a), "gameplay");
    expect_agreement(100);
}

TEST_F(RoomTest, MenuFollowsItsOwnerAndTheSoundAndKeysStayLocal) {
    two_in_room();
    // B's caps show the keys that steer its seat from there (its first set, Q and W), A's seat none.
    room_with_game(*b, [] {
        EXPECT_EQ(sprite_at(menu_first_sprite + MENU_KEY_LABELS)->image, -1);
        EXPECT_EQ(sprite_at(menu_first_sprite + MENU_KEY_LABELS + 2)->image, image_find("key_q.png"));
    });
    room_press(*b, KEY_ENTER);
    room_click(*b, LEVEL_NEXT_X, LEVEL_NEXT_Y);
    room_step(60);
    EXPECT_EQ(read(*a, game_state), STATE_MENU);
    EXPECT_EQ(read(*a, current_level), 0);
    room_click(*a, LEVEL_NEXT_X, LEVEL_NEXT_Y);
    ASSERT_TRUE(room_step_until([&] { return read(*b, current_level) == 1; }, 60));
    EXPECT_EQ(read(*a, current_level), 1);
    const int32_t x = read(*a, sound_x), y = read(*a, sound_y);
    room_click(*a, x + 40, y + 10); // the effects switch
    room_step(60);
    EXPECT_EQ(read(*a, sfx_enabled), 0);
    EXPECT_EQ(read(*b, sfx_enabled), 1);
    room_click(*a, FIRST_KEYS_X, FIRST_KEYS_Y, MOUSE_RIGHT); // asks for new keys alone
    room_step(60);
    for (RoomMachine* m : {a, b}) {
        bool asking = true;
        room_with_game(*m, [&] { asking = menu_remapping(); });
        EXPECT_FALSE(asking);
    }
    expect_agreement(100);
}

TEST_F(RoomTest, DifferingMachineRunsTheLogAgain) {
    two_in_room();
    room_step(20);
    // Two machines tie; the menu's owner is believed.
    room_with_game(*b, [] { players[1].score = 7; });
    ASSERT_TRUE(room_step_until([&] { return b->session.counts.resyncs == 1 && read(*b, players)[1].score == 0; }, 400));
    b->checksums_heard.clear();
    room_step(100);
    EXPECT_EQ(b->session.phase, RoomPhase::in_room);
    expect_agreement(60);
}

TEST_F(RoomTest, APhoneTurnsItsSeatWithoutAGameOfItsOwnForAsLongAsTheRoomLasts) {
    two_in_room();
    RoomRequest as_controller = joining(room_code(*a));
    as_controller.controller = true;
    RoomMachine& phone = room_machine_add(as_controller);
    ASSERT_TRUE(room_step_until([&] { return seated(phone); }, 200));
    EXPECT_EQ(phone.session.seat_mask, 0b100);
    room_click(*a, 303, 208); // three players
    start_game();
    ASSERT_TRUE(room_step_until([&] { return read(*a, game_state) == STATE_PLAYING; }, 200));
    const int32_t facing = read(*a, players)[2].facing;
    room_press(phone, KEY_Q); // the phone's first control set: its seat's turn left
    ASSERT_TRUE(room_step_until([&] { return read(*a, players)[2].facing != facing; }, 40));
    EXPECT_EQ(read(*a, players)[2].facing, (facing + FACINGS - 1) % FACINGS);
    room_step(300); // longer than a server is given to say something
    EXPECT_EQ(phone.session.phase, RoomPhase::in_room) << phone.session.failure;
    EXPECT_EQ(phone.session.counts.ticks_run, 0u); // it runs no game
    expect_agreement(100);
}

struct Failure {
    const char* name;
    std::function<void(RoomMachine*&)> setup;
    const char* says; // a part of the line
};

TEST(RoomFailures, SaidInOneLine) {
    const Failure failures[] = {
        {"server not reachable",
         [](RoomMachine*& m) {
             RoomRequest r = opening();
             r.url = "ws://nowhere.test:8147/ws";
             m = &room_machine_add(r);
         },
         "cannot reach nowhere.test:8147"},
        {"room gone", [](RoomMachine*& m) { m = &room_machine_add(joining("ABCDEF")); }, "ABCDEF"},
        {"server closed",
         [](RoomMachine*& m) {
             m = &room_machine_add(opening());
             room_step_until([&] { return seated(*m); }, 200);
             virtual_net_cut(m->server_end);
         },
         "connection lost"},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        room_harness_start(FAR_AWAY);
        RoomMachine* m = nullptr;
        f.setup(m);
        EXPECT_TRUE(room_step_until([&] { return m->session.phase == RoomPhase::failed; }, 400));
        EXPECT_NE(m->session.failure.find(f.says), std::string::npos) << m->session.failure;
        EXPECT_EQ(m->session.failure.find('\n'), std::string::npos);
        room_harness_stop();
    }
}

} // namespace
