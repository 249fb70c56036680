// The scenes around the game: the intro, the title screen and the credits, and the way through
// them from start-up to the end of the program.
#include "assets/embedded.h"
#include "audio/music/mixer.h"
#include "audio/music/music.h"
#include "audio/sfx.h"
#include "engine/image_table.h"
#include "engine/input_events.h"
#include "engine/scene.h"
#include "game/clouds.h"
#include "game/intro.h"
#include "game/key_codes.h"
#include "game/logo.h"
#include "game/menu.h"
#include "game/music_request.h"
#include "game_fixture.h"
#include "platform/window.h"
#include "test_song.h"
#include "virtual_audio.h"
#include "virtual_platform.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int SONG_ROWS = 16;
constexpr int32_t TITLE_TILES = 158; // the title layout's placements
constexpr int32_t CLICK = -1;

class SceneSequence : public testing::Test {
  protected:
    void SetUp() override {
        harness_start();
        harness_song(test_song(SONG_ROWS));
    }
    void TearDown() override { harness_stop(); }

    // On from the current scene, by presses, to the named one; the credits open from the menu.
    static void reach(const std::string& scene) {
        const std::vector<std::string> order = {"intro", "logo", "gameplay", "credits"};
        auto at = std::find(order.begin(), order.end(), harness_scene());
        for (; at != order.end() && *at != scene; ++at) {
            harness_press(*(at + 1) == "credits" ? KEY_ESCAPE : ANY_KEY);
            harness_tick();
            ASSERT_EQ(harness_scene(), *(at + 1));
        }
    }

    static const Sprite& credits_picture() { return sprite_pool[sprite_count - 1]; }
};

struct Colour {
    int32_t red, green, blue;
    bool operator==(const Colour&) const = default;
};
Colour clear_colour() {
    return {clear_red, clear_green, clear_blue};
}

// Escape means nothing special before the game: every press goes on, and a second press in
// the same tick is the title screen's, read by its first update in that tick.
TEST_F(SceneSequence, PressesInTheIntroGoOnScenePerPressInOneTick) {
    struct Case {
        std::vector<int32_t> keys; // or CLICK
        const char* scene;
    };
    for (const Case& c : {Case{{KEY_ESCAPE}, "logo"}, Case{{CLICK}, "logo"},
                          Case{{KEY_ESCAPE, KEY_ESCAPE}, "gameplay"}, Case{{ANY_KEY, CLICK}, "gameplay"}}) {
        harness_start();
        for (int32_t key : c.keys)
            key == CLICK ? harness_click(10, 10) : harness_press(key);
        harness_tick();
        EXPECT_EQ(harness_scene(), c.scene) << c.keys.size() << " presses";
        EXPECT_EQ(game_state, std::string(c.scene) == "gameplay" ? STATE_MENU : -1);
    }
}

TEST_F(SceneSequence, IntroShowsPresentsFromTick160AndEndsAfterTick240) {
    const int32_t mark = sprite_count - 2;
    const Sprite& tree = sprite_pool[mark];
    harness_tick(INTRO_PRESENTS_TICK); // up to tick 159
    EXPECT_EQ(tree.image, image_find("qz5tree.png"));
    EXPECT_EQ(sprite_count, mark + 2);
    harness_tick();
    EXPECT_EQ(sprite_count, mark + 1); // the tree and the lettering are gone
    EXPECT_EQ(tree.image, image_find("presents.png"));
    EXPECT_EQ(tree.x, 214);
    EXPECT_EQ(tree.y, 210);
    EXPECT_EQ(tree.visible, 1);
    harness_tick(INTRO_LAST_TICK - INTRO_PRESENTS_TICK);
    EXPECT_EQ(harness_scene(), "intro");
    harness_tick();
    EXPECT_EQ(harness_scene(), "logo");
    EXPECT_EQ(sprite_count, mark + TITLE_TILES);
}

// The title fades from black to the sky blue, and after LOGO_STAY_TICKS without a press the
// menu comes by itself. The music starts with the title.
TEST_F(SceneSequence, TitleFadesToTheSkyAndGivesWayToTheMenu) {
    reach("logo"); // the title's first update is its tick 0
    EXPECT_TRUE(music_playing());
    EXPECT_EQ(music_state, MUSIC_STARTED);
    struct Mark {
        int32_t tick;
        Colour colour;
        const char* scene;
    };
    int32_t tick = 0;
    for (const Mark& m : {Mark{20, {0, 0, 0}, "logo"}, Mark{21, {2, 3, 5}, "logo"},
                          Mark{40, {57, 76, 108}, "logo"}, Mark{59, {111, 149, 211}, "logo"},
                          Mark{60, {114, 153, 216}, "logo"}, Mark{LOGO_STAY_TICKS, {114, 153, 216}, "logo"},
                          Mark{LOGO_STAY_TICKS + 1, {114, 153, 216}, "gameplay"}}) {
        harness_tick(m.tick - tick);
        tick = m.tick;
        EXPECT_EQ(clear_colour(), m.colour) << "tick " << m.tick;
        EXPECT_EQ(harness_scene(), m.scene) << "tick " << m.tick;
    }
    EXPECT_EQ(game_state, STATE_MENU);
}

// Without a test song the title plays the embedded one: the ring the music device holds when the
// title starts is the song's first chunks as the player renders them on its own.
TEST(TitleMusic, TheTitlePlaysTheEmbeddedSongFromItsStart) {
    harness_start();
    harness_press(ANY_KEY);
    harness_tick();
    ASSERT_EQ(harness_scene(), "logo");
    AudioDevice* device = harness_music_device();
    ASSERT_NE(device, nullptr);
    const auto* held = static_cast<const uint8_t*>(virtual_audio_buffer(device));
    const std::vector<uint8_t> heard(held, held + virtual_audio_buffer_bytes(device));
    harness_stop();

    const EmbeddedAsset* song = embedded_asset_find(SONG_ASSET);
    ASSERT_NE(song, nullptr);
    ASSERT_TRUE(music_load(song->data, song->size, MUSIC_FROM_MEMORY));
    do
        mix_chunk();
    while (mixer.write_chunk != 0);
    const auto* ring = reinterpret_cast<const uint8_t*>(mixer.ring.data());
    EXPECT_EQ(heard, std::vector<uint8_t>(ring, ring + RING_BYTES));
    music_unload();
}

TEST_F(SceneSequence, CreditsMakeTheirPictureAnewOnEveryVisit) {
    reach("gameplay");
    const int32_t game_sprites = sprite_count;
    for (int visit = 0; visit < 2; ++visit) {
        reach("credits");
        ASSERT_EQ(sprite_count, game_sprites + 1);
        const Sprite& s = credits_picture();
        EXPECT_EQ(s.image, image_find("credits320.png"));
        EXPECT_EQ(s.x, 39);
        EXPECT_EQ(s.y, 21);
        EXPECT_FLOAT_EQ(s.scale, 1.3f);
        EXPECT_EQ(s.visible, 1);
        sprite_pool[sprite_count - 1] = {1, 0, 0, 0, -1, 1.0f, 90.0f}; // nothing of it may last
        harness_press(ANY_KEY);
        harness_tick();
        EXPECT_EQ(harness_scene(), "gameplay");
        EXPECT_EQ(sprite_count, game_sprites);
        EXPECT_EQ(game_state, STATE_MENU);
    }
}

// A press and then Escape in one tick: the game resumes, then the program ends, with the music
// thread stopped and both audio devices closed whatever they were doing.
TEST_F(SceneSequence, PressThenEscapeInTheCreditsResumesTheGameThenEndsCleanly) {
    reach("credits");
    ASSERT_TRUE(music_playing()); // since the title
    sfx_play("winner");
    sfx_pump();
    ASSERT_EQ(sfx_module.state, SFX_PLAYING);
    ASSERT_EQ(virtual_audio_open_count(), 2);
    harness_click(10, 10);
    harness_press(KEY_ESCAPE);
    int status = -1;
    try {
        harness_tick();
    } catch (const VirtualExit& e) {
        status = e.status;
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(harness_scene(), "gameplay");
    EXPECT_FALSE(music_playing());
    EXPECT_EQ(sfx_module.state, SFX_CLOSED);
    EXPECT_EQ(virtual_audio_open_count(), 0);
    EXPECT_TRUE(virtual_platform().window.torn_down);
    int code = -1;
    EXPECT_EQ(platform_message_poll(&code), MessagePoll::quit);
    EXPECT_EQ(code, 0);
}

// Every scene puts the clouds back on the tick whose count is 401 mod 402; all but the
// credits drift them on from there, the credits hold everything still.
TEST_F(SceneSequence, CloudsRestartEvery402TicksInEveryScene) {
    constexpr int32_t CLOUD_START_X = -551, CLOUD_DRIFT = 4;
    constexpr int32_t RESET_TICK = 3 * CLOUD_CYCLE_TICKS + CLOUD_RESET_PHASE;
    for (const char* scene : {"intro", "logo", "gameplay", "credits"}) {
        harness_start();
        frame_count = RESET_TICK - 6;
        reach(scene);
        const int32_t drift = std::string(scene) == "credits" ? 0 : CLOUD_DRIFT;
        while (frame_count < RESET_TICK - 1) {
            const int32_t before = cloud_sprites[0]->x;
            harness_tick();
            EXPECT_EQ(cloud_sprites[0]->x, before + drift) << scene << ", tick " << frame_count;
        }
        harness_tick();
        EXPECT_EQ(cloud_sprites[0]->x, CLOUD_START_X + drift) << scene;
        harness_tick(5);
        EXPECT_EQ(cloud_sprites[0]->x, CLOUD_START_X + 6 * drift) << scene;
        EXPECT_EQ(harness_scene(), scene);
    }
}

} // namespace
