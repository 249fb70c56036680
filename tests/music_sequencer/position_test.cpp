// Rows, ticks, orders and jumps: where the song is after each sequencer tick.
#include "sequencer_fixture.h"

namespace {

using Position = Sequencer;

TEST_F(Position, TicksOf480FramesAndRowsOf1920AtSpeed4And250Bpm) {
    m.speed = 4;
    m.bpm = 250;
    start();
    std::vector<int> row_starts;
    int frames = 0;
    int last_row = -1;
    for (int i = 0; i < 12; ++i) {
        sequencer_tick();
        if (song.row != last_row) row_starts.push_back(frames);
        last_row = song.row;
        EXPECT_EQ(song.frames_left_in_tick, 480);
        frames += song.frames_left_in_tick;
    }
    EXPECT_EQ(row_starts, (std::vector<int>{0, 1920, 3840}));
}

TEST_F(Position, TempoChangeAppliesToTheTickThatSetsIt) {
    put(0, 1, Cell{0, 0, 0, 0x0F, 0x80});
    start();
    sequencer_tick();
    EXPECT_EQ(song.frames_left_in_tick, 120000 / 0x80);
}

TEST_F(Position, SetSpeedZeroKeepsTheSpeed) {
    put(0, 0, Cell{0, 0, 0, 0x0F, 0x00});
    start();
    ticks(6);
    EXPECT_EQ(song.row, 0);
    sequencer_tick();
    EXPECT_EQ(song.row, 1);
}

TEST_F(Position, PatternBreakDigitsAbove9StillCount) {
    m.speed = 1;
    m.patterns.push_back(xm::pattern(m, 64));
    m.orders = {0, 1};
    put(0, 0, Cell{0, 0, 0, 0x0D, 0x2F}); // 10 x 2 + 15
    start();
    ticks(2);
    EXPECT_EQ(song.order, 1);
    EXPECT_EQ(song.row, 35);
}

TEST_F(Position, JumpAndBreakInEitherChannelOrder) {
    struct Case {
        int jump_channel, break_channel, row;
    };
    for (Case c : {Case{0, 4, 10}, Case{4, 0, 0}}) {
        m = tone_module(6);
        m.speed = 1;
        for (int p = 0; p < 3; ++p)
            m.patterns.push_back(xm::pattern(m, 64));
        m.orders = {0, 1, 2};
        put(0, c.jump_channel, Cell{0, 0, 0, 0x0B, 2});
        put(0, c.break_channel, Cell{0, 0, 0, 0x0D, 0x10});
        start();
        ticks(2);
        EXPECT_EQ(song.order, 2) << c.jump_channel;
        EXPECT_EQ(song.row, c.row) << c.jump_channel;
    }
}

TEST_F(Position, JumpsPastTheLastOrderEndTheSongOrGoToTheRestartOrder) {
    for (uint8_t effect : {0x0B, 0x0D})
        for (bool loop : {false, true}) {
            m = tone_module(2);
            m.speed = 1;
            for (int p = 0; p < 3; ++p)
                m.patterns.push_back(xm::pattern(m, 64));
            m.orders = {0, 2, 1};
            m.restart = 1;
            put(1, 0, Cell{0, 0, 0, effect, 7}, 1); // on the last order: B07 beyond the song, D07
            start();
            song.loop = loop;
            ticks(64 + 64 + 2);
            ASSERT_EQ(song.order, 2);
            sequencer_tick();
            EXPECT_EQ(song.ended, !loop) << int(effect) << loop;
            if (loop) {
                EXPECT_EQ(song.order, 1) << int(effect) << " the restart order";
            }
        }
}

TEST_F(Position, BreakToARowThePatternLacksStartsItFromTheTop) {
    m.speed = 1;
    m.patterns.push_back(xm::pattern(m, 8));
    m.orders = {0, 1};
    put(0, 0, Cell{0, 0, 0, 0x0D, 0x70});
    start();
    ticks(2);
    EXPECT_EQ(song.order, 1);
    EXPECT_EQ(song.row, 0);
}

TEST_F(Position, MissingAndEmptyPatternsStillCountTheirRows) {
    m.speed = 1;
    m.patterns[0] = xm::pattern(m, 16);
    m.patterns[0].stored_empty = true;
    m.orders = {0, 5};
    start();
    int calls = 0;
    while (!song.ended && calls < 1000) {
        sequencer_tick();
        ++calls;
        EXPECT_EQ(song.voices[0].sample, nullptr);
    }
    EXPECT_EQ(calls, 16 + 64 + 1) << "16 stored-empty rows, 64 missing-pattern rows, then the end";
}

TEST_F(Position, SongWithoutLoopEndsAfterItsLastRowHasPlayed) {
    m.speed = 3;
    m.patterns[0] = xm::pattern(m, 2);
    m.orders = {0, 0};
    start();
    ticks(4 * 3);
    EXPECT_EQ(song.order, 1);
    EXPECT_EQ(song.row, 1);
    EXPECT_FALSE(song.ended) << "the last row plays in full";
    sequencer_tick();
    EXPECT_TRUE(song.ended);
    EXPECT_GT(song.frames_left_in_tick, 0);
    sequencer_tick();
    EXPECT_TRUE(song.ended) << "an ended song stays ended";
}

TEST_F(Position, LoopingSongGoesOnFromTheRestartOrder) {
    for (int restart : {1, 9}) {
        m.speed = 1;
        m.patterns[0] = xm::pattern(m, 2);
        m.orders = {0, 0, 0};
        m.restart = static_cast<uint16_t>(restart);
        start();
        song.loop = true;
        ticks(6 + 1);
        EXPECT_FALSE(song.ended);
        EXPECT_EQ(song.order, restart < 3 ? restart : 0) << restart;
        EXPECT_EQ(song.row, 0);
    }
}

TEST_F(Position, PendingOrderFromOutsideTakesEffectAtTheNextRow) {
    m.patterns.push_back(xm::pattern(m, 64));
    m.orders = {0, 1, 0};
    start();
    ticks(2);
    song.pending_order.store(2);
    song.pending_row.store(0);
    ticks(4);
    EXPECT_EQ(song.order, 0);
    EXPECT_EQ(song.row, 0);
    sequencer_tick();
    EXPECT_EQ(song.order, 2);
    EXPECT_EQ(song.row, 0);
    sequencer_tick();
    EXPECT_EQ(song.row, 0) << "still ticking row 0";
}

TEST_F(Position, PatternLoopRepeatsItsRows) {
    m.speed = 1;
    put(1, 0, Cell{0, 0, 0, 0x0E, 0x60});
    put(3, 0, Cell{0, 0, 0, 0x0E, 0x62});
    start();
    std::vector<int> rows;
    for (int i = 0; i < 11; ++i) {
        sequencer_tick();
        rows.push_back(song.row);
    }
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4}));
}

TEST_F(Position, EndOnReturnStopsAtAPlayedRowButNotInAPatternLoop) {
    m.speed = 1;
    m.patterns[0] = xm::pattern(m, 8);
    put(1, 0, Cell{0, 0, 0, 0x0E, 0x60});
    put(3, 0, Cell{0, 0, 0, 0x0E, 0x62});
    m.patterns.push_back(xm::pattern(m, 8));
    put(4, 1, Cell{0, 0, 0, 0x0B, 1}, 1);
    m.orders = {0, 1};
    struct Case {
        int plays, rows; // rows played before the song ends
    };
    // Order 0: 8 rows and the loop's 6 again; order 1: rows 0 to 4, then back to its row 0.
    for (Case c : {Case{1, 14 + 5}, Case{2, 14 + 5 + 5}, Case{0, 1000}}) {
        start();
        sequencer_end_on_return(c.plays);
        int rows = 0;
        while (!song.ended && rows < 1000) {
            sequencer_tick();
            rows += !song.ended;
        }
        EXPECT_EQ(rows, c.rows) << c.plays;
    }
}

TEST_F(Position, PatternDelayAddsWholeRowsOfTicks) {
    m.speed = 2;
    put(0, 0, Cell{0, 0, 0, 0x0E, 0xE2});
    start();
    ticks(6);
    EXPECT_EQ(song.row, 0);
    sequencer_tick();
    EXPECT_EQ(song.row, 1);
    ticks(2);
    EXPECT_EQ(song.row, 2) << "the delay is for one row only";
}

} // namespace
