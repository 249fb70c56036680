// Game pads and touch turn buttons through the real program's window handlers, scripted on the
// virtual platform, read back from the event queue the scenes read.
#include "app/app.h"
#include "app/frame_timer.h"
#include "app/viewport.h"
#include "engine/input_events.h"
#include "engine/scene.h"
#include "platform/pad_slots.h"
#include "virtual_platform.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int NONE = -1, MOUSE_LEFT = 100, MOUSE_RIGHT = 101; // expectations beside key codes
constexpr int RETURN = 13, ESCAPE = 27, LEFT = 37, RIGHT = 39;

struct PadInput : testing::Test {
    void SetUp() override {
        virtual_platform_reset();
        event_queue = {};
    }

    // Runs the program over the scripted messages; returns what reached the queue, mouse
    // presses as MOUSE_LEFT / MOUSE_RIGHT. Every pass finds a message, so no tick reads them.
    // The pads stay as they are from one run to the next.
    std::vector<int> run() {
        current_scene = -1;
        next_due = 0;
        virtual_width = virtual_height = 0;
        virtual_post_close();
        EXPECT_EQ(app_main(SHOW_DEFAULT), 0);
        std::vector<int> got;
        while (const InputEvent* e = event_next()) {
            EXPECT_EQ(e->down, 1);
            if (e->kind == EVENT_KEY) {
                got.push_back(e->code);
            } else {
                got.push_back(MOUSE_LEFT + e->code);
                // Off the virtual screen, where no menu area lies.
                EXPECT_GE(e->x, VIRTUAL_SCREEN_WIDTH);
                EXPECT_GE(e->y, VIRTUAL_SCREEN_HEIGHT);
            }
        }
        return got;
    }

    static void tap(int32_t device, uint32_t button) {
        virtual_post_pad_buttons(device, button);
        virtual_post_pad_buttons(device, 0);
    }
};

TEST_F(PadInput, EveryButtonOfEveryPadGivesItsPlayersPressAndReleasesGiveNothing) {
    const struct {
        uint32_t button;
        int pad[PAD_NUMBER_COUNT]; // expected for pads 1..4
    } rows[] = {
        {PAD_LEFT_SHOULDER, {'Q', LEFT, MOUSE_LEFT, 'U'}},
        {PAD_DPAD_LEFT, {'Q', LEFT, MOUSE_LEFT, 'U'}},
        {PAD_WEST, {'Q', LEFT, MOUSE_LEFT, 'U'}},
        {PAD_RIGHT_SHOULDER, {'W', RIGHT, MOUSE_RIGHT, 'I'}},
        {PAD_DPAD_RIGHT, {'W', RIGHT, MOUSE_RIGHT, 'I'}},
        {PAD_EAST, {'W', RIGHT, MOUSE_RIGHT, 'I'}},
        {PAD_SOUTH, {RETURN, RETURN, RETURN, RETURN}},
        {PAD_START, {RETURN, RETURN, RETURN, RETURN}},
        {PAD_BACK, {ESCAPE, ESCAPE, ESCAPE, ESCAPE}},
        {PAD_NORTH, {NONE, NONE, NONE, NONE}},
        {PAD_DPAD_UP, {NONE, NONE, NONE, NONE}},
        {PAD_DPAD_DOWN, {NONE, NONE, NONE, NONE}},
        {PAD_GUIDE, {NONE, NONE, NONE, NONE}},
        {PAD_LEFT_STICK, {NONE, NONE, NONE, NONE}},
        {PAD_RIGHT_STICK, {NONE, NONE, NONE, NONE}},
    };
    for (int32_t device = 1; device <= PAD_NUMBER_COUNT; ++device)
        virtual_post_pad_connect(device * 7); // device ids are the backend's, not the numbers
    std::vector<int> expected;
    for (const auto& row : rows) {
        for (int pad = 0; pad < PAD_NUMBER_COUNT; ++pad) {
            tap((pad + 1) * 7, row.button);
            if (row.pad[pad] != NONE) expected.push_back(row.pad[pad]);
        }
    }
    EXPECT_EQ(run(), expected);
}

// A player given other turn keys (here by the settings read at start-up) keeps its pad: the pad
// presses the new keys, a mouse button among them.
TEST_F(PadInput, APadPressesTheTurnKeysItsPlayerWasGiven) {
    virtual_platform().store[STORE_CONFIG]["quibbet.cfg"] = "keys1 MOUSE_LEFT K\nkeys3 A B\n";
    virtual_post_pad_connect(5);
    virtual_post_pad_connect(6);
    virtual_post_pad_connect(7);
    for (uint32_t button : {PAD_WEST, PAD_EAST})
        for (int32_t device : {5, 7})
            tap(device, button);
    EXPECT_EQ(run(), (std::vector<int>{MOUSE_LEFT, 'A', 'K', 'B'}));
}

// A touch screen's turn button is the same press as its player's own control.
TEST_F(PadInput, TouchTurnButtonsGiveTheirPlayersOwnPress) {
    for (int slot = 0; slot < PAD_NUMBER_COUNT; ++slot)
        for (int direction : {-1, 1})
            virtual_post_turn(slot, direction);
    EXPECT_EQ(run(), (std::vector<int>{'Q', 'W', LEFT, RIGHT, MOUSE_LEFT, MOUSE_RIGHT, 'U', 'I'}));
}

TEST_F(PadInput, HeldButtonsPressOnce) {
    virtual_post_pad_connect(5);
    virtual_post_pad_buttons(5, PAD_WEST);
    virtual_post_pad_buttons(5, PAD_WEST | PAD_EAST); // only the newly held one presses
    virtual_post_pad_buttons(5, PAD_EAST);
    virtual_post_pad_buttons(5, PAD_EAST | PAD_SOUTH | PAD_BACK); // two at once, in button order
    EXPECT_EQ(run(), (std::vector<int>{'Q', 'W', RETURN, ESCAPE}));
}

TEST_F(PadInput, ABackgroundPressIsOnlyRecorded) {
    virtual_platform().background = true;
    virtual_post_pad_connect(5);
    virtual_post_pad_buttons(5, PAD_SOUTH);
    EXPECT_EQ(run(), std::vector<int>{});
    // Back in front, the button held since then presses nothing until it is pressed again.
    virtual_platform().background = false;
    virtual_post_pad_buttons(5, PAD_SOUTH | PAD_WEST);
    virtual_post_pad_buttons(5, 0);
    tap(5, PAD_SOUTH);
    EXPECT_EQ(run(), (std::vector<int>{'Q', RETURN}));
}

TEST_F(PadInput, PadsTakeAndFreeNumbersWithoutDisturbingTheOthers) {
    for (int32_t device : {10, 20, 30, 40, 50})
        virtual_post_pad_connect(device);
    tap(50, PAD_WEST); // the fifth waits: nothing
    virtual_post_pad_disconnect(20);
    virtual_post_pad_disconnect(50); // the waiting pad had taken 2; now 2 is free again
    virtual_post_pad_connect(60);
    virtual_post_pad_connect(70);
    for (int32_t device : {10, 30, 40, 60, 70})
        tap(device, PAD_WEST);
    EXPECT_EQ(run(), (std::vector<int>{'Q', MOUSE_LEFT, 'U', LEFT}));
    EXPECT_EQ(pad_number(60), 2);
    EXPECT_EQ(pad_number(70), 0);
    EXPECT_EQ(pad_number(20), 0);

    // A waiting pad takes the first number freed; its earlier buttons press nothing.
    virtual_post_pad_buttons(70, PAD_EAST);
    virtual_post_pad_disconnect(10);
    virtual_post_pad_buttons(70, PAD_EAST | PAD_SOUTH);
    EXPECT_EQ(run(), std::vector<int>{RETURN});
    EXPECT_EQ(pad_number(70), 1);
}

TEST_F(PadInput, DevicesBeyondWhatIsFollowedAreRefusedAndUnknownOnesIgnored) {
    for (int32_t device = 0; device < PAD_DEVICE_CAPACITY; ++device)
        EXPECT_TRUE(pad_connect(device));
    EXPECT_FALSE(pad_connect(3)); // already followed
    EXPECT_FALSE(pad_connect(PAD_DEVICE_CAPACITY));
    EXPECT_FALSE(pad_disconnect(PAD_DEVICE_CAPACITY));
    virtual_post_pad_buttons(PAD_DEVICE_CAPACITY, PAD_SOUTH);
    tap(0, PAD_SOUTH);
    EXPECT_EQ(run(), std::vector<int>{RETURN});
}

} // namespace
