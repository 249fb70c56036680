// The fixed 25 ms tick: exact due rule, catch-up after a stall.
#include "app/frame_timer.h"
#include "virtual_platform.h"

#include <gtest/gtest.h>

namespace {

struct FrameTimer : testing::Test {
    void SetUp() override {
        virtual_platform_reset();
        next_due = 0;
        tick_period = 25;
        tick_speed = 1;
        frame_timer_poll(true);
    }
};

TEST_F(FrameTimer, ResetStartsAtZeroAndDueOnlyStrictlyAfterNextDue) {
    EXPECT_EQ(next_due, virtual_clock_now());
    EXPECT_FALSE(frame_timer_poll(false)); // exactly at next_due
    virtual_clock_advance(1);
    EXPECT_TRUE(frame_timer_poll(false));
    EXPECT_FALSE(frame_timer_poll(false));
}

TEST_F(FrameTimer, StartsItselfWhenNeverReset) {
    next_due = 0;
    EXPECT_TRUE(frame_timer_poll(false));
    EXPECT_EQ(next_due, virtual_clock_now());
}

TEST_F(FrameTimer, StallIsReplayedOneTickPerPollThenSteadyRate) {
    virtual_clock_advance(1000);
    int due_in_a_row = 0;
    while (frame_timer_poll(false))
        ++due_in_a_row;
    EXPECT_EQ(due_in_a_row, 40);
    // Caught up exactly: from here one tick per 25 ms, each 1 ms after its due time.
    for (int ms = 1; ms <= 100; ++ms) {
        virtual_clock_advance(1);
        const bool due = frame_timer_poll(false);
        EXPECT_EQ(due, ms % 25 == 1) << "at " << ms << " ms";
    }
}

// Hurried, the ticks come FAST_END_SPEED times as often and keep the 25 ms period on average.
TEST_F(FrameTimer, AFasterSpeedRunsThatManyTicksInAPeriod) {
    tick_speed = 4;
    int ticks = 0;
    for (int ms = 0; ms < 100; ++ms) {
        virtual_clock_advance(1);
        while (frame_timer_poll(false))
            ++ticks;
    }
    EXPECT_EQ(ticks, 16);
    tick_speed = 1;
    virtual_clock_advance(100);
    while (frame_timer_poll(false))
        ++ticks;
    EXPECT_EQ(ticks, 20);
}

} // namespace
