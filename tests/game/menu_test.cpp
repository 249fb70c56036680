// The menu over the board: its keys and their exact areas, the switches, and the keyboard.
#include "audio/music/mixer.h"
#include "audio/music/music.h"
#include "audio/sfx.h"
#include "engine/image_table.h"
#include "game/computer_players.h"
#include "game/key_codes.h"
#include "game/menu.h"
#include "game/music_request.h"
#include "game_fixture.h"
#include "test_song.h"
#include "virtual_audio.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {

using Menu = GameTest;

bool wait_for(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST_F(Menu, LevelKeysWrapAroundAndReloadTheBoardAtOnce) {
    click(PREVIOUS_LEVEL_KEY);
    EXPECT_EQ(current_level, LEVEL_COUNT - 1);
    EXPECT_EQ(tile_grid, level_record(LEVEL_COUNT - 1).tiles);
    EXPECT_EQ(state_start_frame, -1);
    click(NEXT_LEVEL_KEY);
    EXPECT_EQ(current_level, 0);
    EXPECT_EQ(tile_grid, level_record(0).tiles);
    EXPECT_EQ(players[0].col, level_record(0).starts[0].col);
}

// Each key acts on a click on its edge and not one pixel beyond it.
TEST_F(Menu, KeysActExactlyWithinTheirAreas) {
    struct Area {
        const char* what;
        int32_t left, top, right, bottom;
        std::function<void()> before;
        std::function<bool()> acted;
    };
    const std::vector<Area> areas = {
        {"start", 268, 289, 330, 311, [] {}, [] { return game_state == STATE_COUNTDOWN; }},
        {"previous level", 275, 259, 296, 273, [] {}, [] { return current_level == LEVEL_COUNT - 1; }},
        {"next level", 302, 259, 321, 273, [] {}, [] { return current_level == 1; }},
        {"2 players", 267, 197, 289, 219, [] { scores_set_player_count(4); },
         [] { return player_count == 2; }},
        {"3 players", 292, 197, 314, 219, [] {}, [] { return player_count == 3; }},
        {"4 players", 317, 197, 339, 219, [] {}, [] { return player_count == 4; }},
        {"music", 278, 445, 300, 467, [] {}, [] { return music_state == MUSIC_OFF; }},
        {"effects", 304, 445, 326, 467, [] {}, [] { return sfx_enabled == 0; }},
    };
    for (const Area& a : areas) {
        const int32_t mid_x = (a.left + a.right) / 2, mid_y = (a.top + a.bottom) / 2;
        const std::vector<std::pair<Point, bool>> probes = {
            {{a.left, a.top}, true},       {{a.right, a.bottom}, true}, {{a.left - 1, mid_y}, false},
            {{a.right + 1, mid_y}, false}, {{mid_x, a.top - 1}, false}, {{mid_x, a.bottom + 1}, false}};
        for (const auto& [point, acts] : probes) {
            harness_start();
            harness_enter_gameplay();
            a.before();
            click(point);
            EXPECT_EQ(a.acted(), acts) << a.what << " at " << point.x << "," << point.y;
        }
    }
}

TEST_F(Menu, EffectsSwitchSilencesEveryEffectUntilSwitchedBack) {
    const Sprite& marker = sprite_pool[menu_first_sprite + MENU_EFFECTS_MARKER];
    EXPECT_EQ(marker.visible, 1);
    click(EFFECTS_SWITCH);
    EXPECT_EQ(marker.visible, 0);
    harness_effects_clear();
    play_until_first_step();
    player_place(0, 4, 4, FACING_RIGHT); // a bounce
    player_place(1, 5, 4, FACING_LEFT);
    next_step();
    win_next_step(1); // a fall, then three winner pulses
    harness_tick(118);
    EXPECT_TRUE(harness_effects().empty());
    click(EFFECTS_SWITCH);
    play_until_first_step();
    EXPECT_EQ(harness_effect_names(), std::vector<std::string>{"tic"});
}

TEST_F(Menu, MusicSwitchStopsTheSongAndRestartsItFromTheTopAtFullLevel) {
    harness_song(test_song(64));
    const Sprite& marker = sprite_pool[menu_first_sprite + MENU_MUSIC_MARKER];
    music_request_start();
    AudioDevice* first = harness_music_device();
    ASSERT_NE(first, nullptr);
    music_request_start(); // playing already: left alone
    EXPECT_EQ(harness_music_device(), first);
    virtual_audio_advance(first, 8 * CHUNK_BYTES);
    ASSERT_TRUE(wait_for([] { return music_position() != 0; }));

    music_set_volume(3);
    click(MUSIC_SWITCH);
    EXPECT_EQ(music_state, MUSIC_OFF);
    EXPECT_EQ(marker.visible, 0);
    EXPECT_EQ(harness_music_device(), nullptr);
    click(MUSIC_SWITCH);
    EXPECT_EQ(marker.visible, 1);
    ASSERT_NE(harness_music_device(), nullptr);
    EXPECT_EQ(music_position(), 0u);
    EXPECT_EQ(mixer.master_volume.load(), MUSIC_UNITY_VOLUME);
}

// A song that has played to its end starts again when the next game ends.
TEST_F(Menu, SongThatEndedStartsAgainAfterTheNextGame) {
    harness_song(test_song(2));
    music_request_start();
    AudioDevice* device = harness_music_device();
    ASSERT_NE(device, nullptr);
    virtual_audio_advance(device, 4 * RING_BYTES); // the whole song and its fade, heard
    ASSERT_TRUE(wait_for([] { return !music_playing(); }));
    play_until_first_step();
    win_next_step(0);
    EXPECT_NE(harness_music_device(), nullptr);
}

TEST_F(Menu, AnyKeyOrEitherButtonOnStartBeginsAGame) {
    struct Case {
        const char* what;
        std::function<void()> press;
    };
    for (const Case& c :
         {Case{"right click on start", [] { harness_click(START_KEY.x, START_KEY.y, 1); }},
          Case{"a letter", [] { harness_press('A'); }}, Case{"space", [] { harness_press(KEY_SPACE); }}}) {
        harness_start();
        harness_enter_gameplay();
        c.press();
        harness_tick();
        EXPECT_EQ(game_state, STATE_COUNTDOWN) << c.what;
        EXPECT_EQ(harness_scene(), "gameplay") << c.what;
    }
}

TEST_F(Menu, EscapeOpensTheCreditsAndTheMenuIsThereOnReturn) {
    click(players_key(3));
    const int32_t count = sprite_count;
    std::vector<Sprite> menu(&sprite_pool[menu_first_sprite], &sprite_pool[count]);
    harness_press(KEY_ESCAPE);
    harness_tick();
    EXPECT_EQ(harness_scene(), "credits");
    harness_tick(50);
    leave_credits();
    EXPECT_EQ(game_state, STATE_MENU);
    ASSERT_EQ(sprite_count, count);
    EXPECT_EQ(std::memcmp(menu.data(), &sprite_pool[menu_first_sprite], menu.size() * sizeof(Sprite)), 0);
    EXPECT_EQ(player_count, 3);
}

// A click on a shown controls picture steps its slot from a person to an easy, a normal and a
// hard computer and back, up to the picture's edge; the slot's keys and mouse buttons then do
// nothing, and the choice outlasts the game.
TEST_F(Menu, ControlsPictureStepsItsSlotThroughTheComputersWhoseControlsThenDoNothing) {
    click(players_key(3));
    const Sprite& picture_2 = sprite_pool[controls_first_sprite + 1];
    const Sprite& left_label_2 = sprite_pool[menu_first_sprite + MENU_KEY_LABELS + 2];
    const std::vector<std::pair<int32_t, const char*>> steps = {{COMPUTER_EASY, "computereasy002.png"},
                                                                {COMPUTER_NORMAL, "computer002.png"},
                                                                {COMPUTER_HARD, "computerhard002.png"},
                                                                {COMPUTER_NONE, "controls002.png"}};
    for (const Point& edge : {Point{560, 200}, Point{599, 231}}) {
        for (const auto& [strength, image] : steps) {
            click(edge);
            EXPECT_EQ(computer_slots[1], strength) << edge.x << "," << edge.y;
            EXPECT_EQ(picture_2.image, image_find(image));
            EXPECT_EQ(left_label_2.visible, strength == COMPUTER_NONE)
                << "the keys' labels go with the person";
        }
    }
    for (const Point& beside : {Point{559, 215}, Point{600, 215}, Point{580, 232}, controls_picture(3)})
        click(beside); // left, right and below the picture; slot 4 is not shown with three players
    EXPECT_EQ(computer_slots, (std::array<int32_t, PLAYER_SLOTS>{}));

    click(controls_picture(1));
    click(controls_picture(2));
    harness_press(ANY_KEY);
    harness_tick();
    const int32_t facing_2 = players[1].facing, facing_3 = players[2].facing;
    harness_press(KEY_RIGHT);
    harness_click(10, 10, 1);
    harness_press(KEY_W); // player 1 is still a person
    harness_tick();
    EXPECT_EQ(players[1].facing, facing_2);
    EXPECT_EQ(players[2].facing, facing_3);
    EXPECT_EQ(players[0].facing, FACING_LEFT); // from down

    play_until_first_step(); // ends the countdown under way, and the game goes on to its end
    for (int32_t t = 0; t < 100'000 && game_state != STATE_MENU; ++t)
        harness_tick();
    ASSERT_EQ(game_state, STATE_MENU);
    EXPECT_TRUE(computer_steers(1) && computer_steers(2) && !computer_steers(0));
    EXPECT_EQ(sprite_pool[controls_first_sprite + 1].image, image_find("computereasy002.png"));
    EXPECT_EQ(sprite_pool[controls_first_sprite + 2].image, image_find("computereasy003.png"));
}

// Escape and a start in one tick: the start is the credits' press, which leads back to the
// menu as it was, never a game under a menu that stays drawn.
TEST_F(Menu, EscapeThenAStartInOneTickLeavesTheMenuWhole) {
    const int32_t count = sprite_count;
    harness_press(KEY_ESCAPE);
    harness_click(START_KEY.x, START_KEY.y);
    harness_tick();
    EXPECT_EQ(harness_scene(), "gameplay");
    EXPECT_EQ(game_state, STATE_MENU);
    EXPECT_EQ(sprite_count, count);
}

// Presses after the one that starts a game, in the same tick, are dropped: a level key there
// would otherwise stop the countdown's clock.
TEST_F(Menu, PressesAfterTheStartInTheSameTickAreDropped) {
    harness_press(ANY_KEY);
    harness_click(PREVIOUS_LEVEL_KEY.x, PREVIOUS_LEVEL_KEY.y);
    harness_tick();
    EXPECT_EQ(current_level, 0);
    harness_tick(COUNTDOWN_END);
    EXPECT_EQ(game_state, STATE_PLAYING);
}

// A right click on a person's controls asks for its left and then its right key. Keys the game
// keeps, keys or buttons another player holds, keys no cap could show and the left key again are
// refused with the sign; Escape keeps the old keys; the new ones turn the player, the old are dead.
TEST_F(Menu, RightClickOnTheControlsGivesThePlayerNewKeysAndRefusesTheTakenOnes) {
    const Sprite& prompt = sprite_pool[menu_first_sprite + MENU_REMAP_PROMPT];
    const Sprite& refused = sprite_pool[menu_first_sprite + MENU_KEY_REFUSED];
    const auto refuses = [&](const std::vector<std::function<void()>>& presses) {
        for (const auto& press : presses) {
            press();
            harness_tick();
            EXPECT_TRUE(refused.visible && prompt.visible);
        }
    };
    const auto key = [](int32_t code) { return [code] { harness_press(code); }; };
    click(controls_picture(0), MOUSE_RIGHT);
    ASSERT_TRUE(menu_remapping());
    EXPECT_EQ(prompt.image, image_find("remapleft.png"));
    refuses({key(KEY_SPACE), key(KEY_RETURN), key(KEY_LEFT), key(0x70 /* F1: no cap */),
             [] { harness_click(START_KEY.x, START_KEY.y, MOUSE_LEFT); }}); // player 3's button
    harness_tick(40);
    EXPECT_FALSE(refused.visible) << "the sign stands for a moment only";
    harness_press('A');
    harness_tick();
    EXPECT_EQ(prompt.image, image_find("remapright.png"));
    refuses({key('A')});
    harness_press(KEY_SPACE);
    harness_press('S');
    harness_tick();
    EXPECT_FALSE(menu_remapping());
    EXPECT_FALSE(prompt.visible || refused.visible);
    EXPECT_EQ(game_state, STATE_MENU) << "the keys given started no game";
    EXPECT_EQ(sprite_pool[menu_first_sprite + MENU_KEY_LABELS].image, image_find("key_a.png"));
    EXPECT_EQ(sprite_pool[menu_first_sprite + MENU_KEY_LABELS + 1].image, image_find("key_s.png"));

    click(controls_picture(0), MOUSE_RIGHT);
    harness_press('Z');
    harness_press(KEY_ESCAPE);
    harness_tick();
    EXPECT_FALSE(menu_remapping());
    EXPECT_EQ(harness_scene(), "gameplay") << "Escape only kept the old keys";
    EXPECT_EQ(player_controls[0].code, 'A');

    play_until_first_step();
    const int32_t facing = players[0].facing;
    harness_press(KEY_Q);
    harness_press(KEY_W);
    harness_tick();
    EXPECT_EQ(players[0].facing, facing) << "the old keys are dead";
    harness_press('S');
    harness_tick();
    EXPECT_EQ(players[0].facing, (facing + 1) % FACINGS);
}

} // namespace
