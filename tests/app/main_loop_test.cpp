// Start-up, the main-loop pass and the ways out, on the virtual platform.
#include "app/app.h"
#include "app/frame_timer.h"
#include "app/viewport.h"
#include "audio/music/music.h"
#include "audio/sfx.h"
#include "engine/input_events.h"
#include "engine/scene.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "virtual_audio.h"
#include "virtual_gl.h"
#include "virtual_platform.h"

#include <gtest/gtest.h>

namespace {

struct MainLoop : testing::Test {
    void SetUp() override {
        virtual_platform_reset();
        current_scene = -1;
        next_due = 0;
        frame_count = 0; // as the program starts
        virtual_width = virtual_height = 0;
        while (event_next()) { // a press left by an earlier test would skip the intro
        }
    }
};

TEST_F(MainLoop, WindowedStartUpThenCloseExitsWithZero) {
    virtual_post_close();
    EXPECT_EQ(app_main(SHOW_DEFAULT), 0);
    const VirtualPlatform& p = virtual_platform();
    ASSERT_EQ(p.questions.size(), 1u);
    EXPECT_EQ(p.questions[0].caption, "Vorlump - Quibbet 2013");
    EXPECT_EQ(p.questions[0].text, "Do you want to enable fullscreen mode?");
    EXPECT_FALSE(p.questions[0].owned_by_window);
    EXPECT_EQ(p.window.title, "Vorlump - Quibbet 2013");
    EXPECT_FALSE(p.window.fullscreen);
    EXPECT_EQ(p.window.width, 1280);
    EXPECT_EQ(p.window.height, 720);
    EXPECT_EQ(p.window.show_command, SHOW_DEFAULT);
    // The resize sent while the window was created replaced the outer size with the client size.
    EXPECT_EQ(window_width, 1264);
    EXPECT_EQ(window_height, 681);
    EXPECT_EQ(virtual_width, 640);
    EXPECT_EQ(tick_period, 25);
    EXPECT_EQ(current_scene, 1); // "intro"
    EXPECT_TRUE(p.window.torn_down);
    EXPECT_FALSE(p.window.context);
    EXPECT_TRUE(p.error_boxes.empty());
}

// Closing the window goes down the way Escape in the credits does: nothing plays on behind it.
TEST_F(MainLoop, CloseStopsTheMusicAndClosesTheEffectsDevice) {
    first_scene = "logo"; // the title starts the music
    sfx_play("tic");
    virtual_post_close();
    EXPECT_EQ(app_main(SHOW_DEFAULT), 0);
    first_scene = "intro";
    EXPECT_FALSE(music_playing());
    EXPECT_EQ(sfx_module.state, SFX_CLOSED);
    EXPECT_EQ(virtual_audio_open_count(), 0);
    EXPECT_TRUE(virtual_platform().window.torn_down);
}

TEST_F(MainLoop, FullscreenTakesTheScreenSizeAndQuitCodePassesThrough) {
    virtual_platform().answer_yes = true;
    virtual_platform().screen_width = 1366;
    virtual_platform().screen_height = 768;
    platform_quit_post(3);
    EXPECT_EQ(app_main(SHOW_DEFAULT), 3);
    EXPECT_TRUE(virtual_platform().window.fullscreen);
    EXPECT_EQ(window_width, 1366);
    EXPECT_EQ(viewport.left, 171);
}

TEST_F(MainLoop, FailedClassRegistrationReturnsOneWithTheReasonOnStandardError) {
    virtual_platform().fail_class_register = true;
    virtual_platform().failure_reason = "No available video device";
    testing::internal::CaptureStderr();
    EXPECT_EQ(app_main(SHOW_DEFAULT), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quibbet: cannot open a window: No available video device\n");
    EXPECT_TRUE(virtual_platform().questions.empty());
    EXPECT_TRUE(virtual_platform().error_boxes.empty());
    EXPECT_FALSE(virtual_platform().window.created);
}

TEST_F(MainLoop, AQuestionThatCannotBeShownIsSaidOnStandardErrorAndPlaysInAWindow) {
    virtual_platform().fail_question = true;
    virtual_platform().answer_yes = true; // never asked, so never taken
    virtual_platform().failure_reason = "Couldn't load font";
    virtual_post_close();
    testing::internal::CaptureStderr();
    EXPECT_EQ(app_main(SHOW_DEFAULT), 0);
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "quibbet: the fullscreen question could not be shown (Couldn't load font); playing in a window\n");
    EXPECT_FALSE(virtual_platform().window.fullscreen);
    EXPECT_EQ(virtual_platform().window.width, 1280);
}

TEST_F(MainLoop, AWindowThatCannotBeCreatedIsFatalWithTheReason) {
    virtual_platform().fail_window = true;
    virtual_platform().failure_reason = "Couldn't find matching GLX visual";
    testing::internal::CaptureStderr();
    try {
        app_main(SHOW_DEFAULT);
        FAIL() << "start-up went on without a window";
    } catch (const VirtualExit& e) {
        EXPECT_EQ(e.status, 1);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quibbet: CreateWindow: Couldn't find matching GLX visual\n");
    const auto& boxes = virtual_platform().error_boxes;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].text, "CreateWindow: Couldn't find matching GLX visual");
    EXPECT_FALSE(boxes[0].owned_by_window);
    EXPECT_EQ(current_scene, -1);
}

TEST_F(MainLoop, PixelFormatFailureIsFatalWithStatusOne) {
    virtual_platform().fail_gl_context = true;
    testing::internal::CaptureStderr();
    try {
        app_main(SHOW_DEFAULT);
        FAIL() << "start-up went on without a context";
    } catch (const VirtualExit& e) {
        EXPECT_EQ(e.status, 1);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "quibbet: SetPixelFormat\n");
    const auto& boxes = virtual_platform().error_boxes;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].text, "SetPixelFormat");
    EXPECT_TRUE(boxes[0].owned_by_window);
    EXPECT_EQ(current_scene, -1); // engine_init never ran
}

TEST_F(MainLoop, PendingMessagesAreHandledAndNothingIsDrawnMeanwhile) {
    virtual_post_resize(1280, 720);
    virtual_post_key('Q');
    virtual_post_close();
    EXPECT_EQ(app_main(SHOW_DEFAULT), 0);
    // Every pass found a message (resize, key, close, then the quit), so no pass drew.
    EXPECT_EQ(virtual_platform().swap_count, 0);
    EXPECT_EQ(virtual_gl().clear_color_buffer_calls, 0);
    EXPECT_EQ(virtual_slept_ms(), 0);
    EXPECT_EQ(viewport.left, 160);
    EXPECT_EQ(viewport.width, 960);
}

// One pass as app_main runs it, then asleep as long as the pass allows unless told otherwise.
bool pass(bool sleep = true) {
    int code = -1, idle_ms = -1;
    const bool going_on = main_loop_pass(&code, &idle_ms);
    if (sleep && idle_ms > 0) platform_sleep_ms(idle_ms);
    return going_on;
}

// The picture changes only with a tick, a resize or an expose: only then is it drawn, and
// between ticks the loop sleeps until the next one is due.
TEST_F(MainLoop, DrawsOnlyAfterATickOrAnExposeAndSleepsUntilTheNextTick) {
    virtual_post_close();
    ASSERT_EQ(app_main(SHOW_DEFAULT), 0); // leaves the started game and its handlers behind
    virtual_clock_advance(1);
    for (int tick = 1; tick <= 3; ++tick) {
        EXPECT_TRUE(pass(tick < 3)); // this pass's tick, drawn, then asleep until the next is due
        EXPECT_EQ(frame_count, tick);
        EXPECT_EQ(virtual_platform().swap_count, tick);
        EXPECT_EQ(virtual_gl().clear_color_buffer_calls, tick);
        EXPECT_EQ(virtual_gl().clear_depth_buffer_calls, tick);
    }
    EXPECT_EQ(virtual_slept_ms(), 2 * TICK_PERIOD_MS);
    EXPECT_TRUE(pass(false)); // the next tick is not due: nothing changed, nothing drawn
    EXPECT_EQ(virtual_platform().swap_count, 3);
    virtual_post_expose();
    EXPECT_TRUE(pass(false));
    EXPECT_TRUE(pass(false));
    EXPECT_EQ(frame_count, 3);
    EXPECT_EQ(virtual_platform().swap_count, 4);
}

// A stalled loop replays the missed ticks back to back without drawing in between (a swap held
// by vertical sync would let it fall behind for good); a minimised window is never drawn.
TEST_F(MainLoop, MissedTicksAreReplayedUndrawnAndAMinimisedWindowIsNotDrawn) {
    engine_init();
    frame_timer_poll(true);
    virtual_clock_advance(1000);
    int passes = 0;
    while (virtual_platform().swap_count == 0 && passes < 100) {
        EXPECT_EQ(virtual_slept_ms(), 0);
        pass();
        ++passes;
    }
    EXPECT_EQ(passes, 40); // 1000 ms of ticks, drawn once caught up
    EXPECT_EQ(frame_count, 40);
    virtual_platform().minimised = true;
    for (int i = 0; i < 10; ++i)
        pass();
    EXPECT_EQ(frame_count, 50);
    EXPECT_EQ(virtual_platform().swap_count, 1);
    virtual_platform().minimised = false;
    pass();
    EXPECT_EQ(virtual_platform().swap_count, 2);
}

// A browser frame after an hour away replays ticks for a few milliseconds of the clock, then gives
// the page back; here each tick costs a millisecond.
TEST_F(MainLoop, ABrowserFrameCatchesUpForAFewMillisecondsAtMost) {
    engine_init();
    frame_timer_poll(true);
    const Scene kept = scene_table[0];
    scene_table[0].update = [] { virtual_clock_advance(1); };
    current_scene = 0;
    virtual_clock_advance(60 * 60 * 1000);
    const int64_t began = virtual_clock_now();
    const int32_t ticks = frame_count;
    int code = 0;
    EXPECT_TRUE(app_frame(&code));
    EXPECT_GT(frame_count, ticks + 1);
    EXPECT_LE(virtual_clock_now() - began, FRAME_CATCH_UP_MS);
    EXPECT_EQ(virtual_platform().swap_count, 0); // still behind: nothing drawn yet
    scene_table[0] = kept;
}

TEST_F(MainLoop, ClearColourComesFromTheScenes) {
    engine_init();
    clear_red = 114, clear_green = 153, clear_blue = 216;
    frame_begin();
    const float* c = virtual_gl().clear_color;
    EXPECT_FLOAT_EQ(c[0], 114 / 255.0f);
    EXPECT_FLOAT_EQ(c[1], 153 / 255.0f);
    EXPECT_FLOAT_EQ(c[2], 216 / 255.0f);
    EXPECT_EQ(c[3], 0.0f);
    clear_red = clear_green = clear_blue = 0;
}

} // namespace
