// Scene switching and per-tick dispatch rules.
#include "engine/input_events.h"
#include "engine/scene.h"
#include "engine/sprite_pool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> log_lines;
int scene_seen_on_enter = -2;
std::vector<int> codes_read_by_credits;
bool gameplay_switches_to_credits = false;

void intro_enter() { log_lines.push_back("intro enter"); }
void intro_update() { log_lines.push_back("intro update"); }
void logo_enter() {
    scene_seen_on_enter = current_scene;
    log_lines.push_back("logo enter");
}
void logo_update() { log_lines.push_back("logo update"); }
void gameplay_enter() { log_lines.push_back("gameplay enter"); }
void gameplay_update() {
    log_lines.push_back("gameplay update");
    event_next(); // reads one event, leaves the rest
    if (gameplay_switches_to_credits) scene_enter("credits");
}
void credits_enter() {
    scene_seen_on_enter = current_scene;
    log_lines.push_back("credits enter");
}
void credits_update() {
    log_lines.push_back("credits update");
    while (InputEvent* e = event_next()) codes_read_by_credits.push_back(e->code);
}

struct Scenes : testing::Test {
    std::array<Scene, SCENE_COUNT> saved = scene_table;
    void SetUp() override {
        current_scene = -1;
        skip_next_enter = 0;
        log_lines.clear();
        codes_read_by_credits.clear();
        gameplay_switches_to_credits = false;
        scene_install("intro", intro_enter, intro_update);
        scene_install("logo", logo_enter, logo_update);
        scene_install("gameplay", gameplay_enter, gameplay_update);
        scene_install("credits", credits_enter, credits_update);
        while (event_next()) {
        }
    }
    void TearDown() override { scene_table = saved; }
};

TEST_F(Scenes, TableHasTheFiveNamesInOrder) {
    const char* names[] = {"debug", "intro", "logo", "gameplay", "credits"};
    for (int i = 0; i < SCENE_COUNT; ++i) EXPECT_STREQ(saved[i].name, names[i]);
}

TEST_F(Scenes, UnknownNameChangesNothingAndExitsDoNotRun) {
    scene_enter("logo");
    sprite_scene_mark = 3;
    sprite_count = 10;
    scene_enter("nowhere");
    scene_enter("Logo");
    EXPECT_EQ(current_scene, 2);
    EXPECT_EQ(sprite_count, 10); // logo's exit would have restored the mark
}

TEST_F(Scenes, ReenteringRunsExitThenEnterAndEnterSeesTheOldIndex) {
    scene_enter("intro");
    sprite_scene_mark = 5;
    sprite_count = 9;
    scene_enter("logo");
    EXPECT_EQ(sprite_count, 5);
    EXPECT_EQ(scene_seen_on_enter, 1);
    sprite_count = 8;
    scene_enter("logo");
    EXPECT_EQ(sprite_count, 5);
    EXPECT_EQ(scene_seen_on_enter, 2);
    EXPECT_EQ((std::vector<std::string>{"intro enter", "logo enter", "logo enter"}), log_lines);
}

TEST_F(Scenes, AnySwitchClearsSkipNextEnter) {
    scene_enter("credits");
    skip_next_enter = 1;
    scene_enter("gameplay");
    EXPECT_EQ(skip_next_enter, 0);
    EXPECT_EQ(current_scene, 3);
    EXPECT_EQ((std::vector<std::string>{"credits enter"}), log_lines);
    skip_next_enter = 1;
    scene_enter("debug"); // no enter of its own, still clears the flag
    EXPECT_EQ(skip_next_enter, 0);
    EXPECT_EQ(current_scene, 0);
}

TEST_F(Scenes, SwitchInsideUpdateRunsNewUpdateSameTickWithUnreadEvents) {
    scene_enter("gameplay");
    log_lines.clear();
    gameplay_switches_to_credits = true;
    for (int code : {81, 87, 37}) event_key_down(code);
    scene_dispatch();
    EXPECT_EQ((std::vector<std::string>{"gameplay update", "credits enter", "credits update"}), log_lines);
    EXPECT_EQ(scene_seen_on_enter, 3);
    EXPECT_EQ((std::vector<int>{87, 37}), codes_read_by_credits);
    EXPECT_EQ(current_scene, 4);
}

TEST_F(Scenes, EventsNeverCarryOverToTheNextTick) {
    scene_enter("gameplay");
    for (int code : {1, 2, 3}) event_key_down(code);
    scene_dispatch(); // reads one of three
    EXPECT_EQ(event_queue.write_count, 0);
    EXPECT_EQ(event_next(), nullptr);
    current_scene = -1; // no scene: the tick still empties the queue
    event_key_down(4);
    scene_dispatch();
    EXPECT_EQ(event_next(), nullptr);
}

TEST_F(Scenes, NamesCompareOverAllTwentyCharacters) {
    std::memcpy(scene_table[0].name, "abcdefghijklmnopqrst", SCENE_NAME_LENGTH); // no terminator
    scene_enter("abcdefghijklmnopqrsX");
    EXPECT_EQ(current_scene, -1);
    scene_enter("abcdefghijklmnopqrstuvw"); // only the first 20 count
    EXPECT_EQ(current_scene, 0);
}

} // namespace
