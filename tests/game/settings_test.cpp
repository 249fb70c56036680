// The settings file: what a damaged file costs (only its bad lines, one message each), what an
// unwritable place costs (the saving, one message), and choices made in the menu found again at
// the next start.
#include "audio/sfx.h"
#include "engine/image_table.h"
#include "game/computer_players.h"
#include "game/key_codes.h"
#include "game/menu.h"
#include "game/music_request.h"
#include "game/settings.h"
#include "game_fixture.h"
#include "virtual_platform.h"

#include <string>
#include <vector>

namespace {

using Settings = GameTest;

struct Seen {
    int32_t players, level; // level as the file counts, from 1
    bool music, effects;
    int32_t steering_2;
    int32_t left_1, right_1;
};

Seen seen() {
    return {player_count,      current_level + 1,       music_state != MUSIC_OFF, sfx_enabled != 0,
            computer_slots[1], player_controls[0].code, player_controls[1].code};
}

// What starting with that file gives, and the message it writes.
struct Damage {
    std::string what, file;
    Seen expected;
    std::vector<std::string> messages; // one each, in order, as parts of the lines
};

constexpr Seen DEFAULTS = {2, 1, true, true, COMPUTER_NONE, KEY_Q, KEY_W};

TEST_F(Settings, ADamagedFileCostsOnlyItsBadLinesWithOneMessageEach) {
    const std::string good = "players 3\nlevel 5\nmusic off\neffects off\nplayer2 hard\nkeys1 A S\n";
    const std::vector<Damage> damages = {
        {"none", "", DEFAULTS, {}},
        {"good, with comments, blank lines and CR LF",
         "# a comment\n\n  players 3\r\nlevel 5\nmusic off\neffects off\n"
         "player2 hard\nkeys1 A S",
         {3, 5, false, false, COMPUTER_HARD, 'A', 'S'},
         {}},
        {"truncated in a name and in a value",
         "players 3\nlevel 5\nkeys1 A\nlev",
         {3, 5, true, true, COMPUTER_NONE, KEY_Q, KEY_W},
         {":3: \"keys1\" takes two different keys", ":4: no setting is called \"lev\""}},
        {"unknown names",
         "colour red\nplayers 4\nplayer9 easy\n",
         {4, 1, true, true, 0, KEY_Q, KEY_W},
         {":1: no setting is called \"colour\"", ":3: no setting is called \"player9\""}},
        {"values out of range",
         "players 5\nlevel 0\nlevel2 3\nmusic loud\nplayer2 expert\nkeys1 A A\nkeys2 Q F1\n",
         DEFAULTS,
         {":1: \"players\" takes a player count from 2 to 4", ":2: \"level\" takes a level from 1 to 17",
          ":3: no setting", ":4: \"music\" takes on or off", ":5: \"player2\" takes person, easy",
          ":6: \"keys1\" takes two different keys", ":7: \"keys2\" takes two different keys"}},
        {"level above the last and numbers with tails",
         "level 18\nplayers 3x\n",
         DEFAULTS,
         {":1: \"level\" takes", ":2: \"players\" takes"}},
        {"duplicate names",
         "level 3\nlevel 4\nplayers 3\nplayers 2\n",
         {3, 3, true, true, 0, KEY_Q, KEY_W},
         {":2: \"level\" was set on line 1 already", ":4: \"players\" was set on line 3 already"}},
        {"binary garbage",
         std::string("\x7f"
                     "ELF\x02\x01\x01",
                     7) +
             std::string(3, '\0') + "\n\xff\xfe players 3\nlevel 2\n",
         {2, 2, true, true, 0, KEY_Q, KEY_W},
         {":1: not a line of settings", ":2: not a line of settings"}},
        {"a key another player holds",
         "keys1 LEFT RIGHT\n",
         DEFAULTS,
         {":1: a key of player 1 is another player's"}},
        {"the file cut off by a full disk",
         good.substr(0, good.find("hard") + 2),
         {3, 5, false, false, COMPUTER_NONE, KEY_Q, KEY_W},
         {":5: \"player2\" takes"}},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        harness_start();
        if (!d.file.empty()) virtual_platform().store[STORE_CONFIG][SETTINGS_FILE] = d.file;
        testing::internal::CaptureStderr();
        harness_restart();
        const std::string told = testing::internal::GetCapturedStderr();
        const Seen s = seen();
        EXPECT_EQ(
            std::vector<int32_t>({s.players, s.level, s.music, s.effects, s.steering_2, s.left_1, s.right_1}),
            std::vector<int32_t>({d.expected.players, d.expected.level, d.expected.music, d.expected.effects,
                                  d.expected.steering_2, d.expected.left_1, d.expected.right_1}));
        size_t lines = 0, at = 0;
        for (const std::string& message : d.messages) {
            const size_t found = told.find(message, at);
            EXPECT_NE(found, std::string::npos) << "missing \"" << message << "\" in:\n" << told;
            if (found != std::string::npos) at = found;
        }
        for (char c : told)
            lines += c == '\n';
        EXPECT_EQ(lines, d.messages.size()) << told;
        EXPECT_EQ(told.find("virtual:config/quibbet.cfg:"), d.messages.empty() ? std::string::npos : 9u)
            << "each line names the file";
    }
}

// Choices made in the menu are written between ticks and are there at the next start; a place
// that cannot be written costs the saving only, with one line however often the choices change.
TEST_F(Settings, MenuChoicesAreFoundAgainAtTheNextStartAndAnUnwritablePlaceCostsOnlyTheSaving) {
    click(players_key(3));
    click(NEXT_LEVEL_KEY);
    click(MUSIC_SWITCH);
    click(controls_picture(2));
    click(controls_picture(2));
    click(controls_picture(0), MOUSE_RIGHT);
    harness_press('J');
    harness_press('K');
    harness_tick();
    const auto file = [] { return virtual_platform().store[STORE_CONFIG][SETTINGS_FILE]; };
    EXPECT_NE(file().find("\nplayer3 normal\n"), std::string::npos) << file();
    harness_restart();
    EXPECT_EQ(player_count, 3);
    EXPECT_EQ(current_level, 1);
    EXPECT_EQ(music_state, MUSIC_OFF);
    EXPECT_EQ(computer_slots[2], COMPUTER_NORMAL);
    EXPECT_EQ(player_controls[0].code, 'J');
    harness_enter_gameplay();
    EXPECT_EQ(sprite_pool[menu_first_sprite + MENU_KEY_LABELS].image, image_find("key_j.png"));

    virtual_platform().store_unwritable = true;
    testing::internal::CaptureStderr();
    click(players_key(4));
    click(players_key(2));
    settings_keep_at_exit();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(
        told,
        "quibbet: the settings are not kept: cannot write virtual:config/quibbet.cfg: scripted failure\n");
    EXPECT_EQ(player_count, 2) << "the game goes on";
    virtual_platform().store_unwritable = false;
    settings_keep_at_exit();
    EXPECT_NE(file().find("\nplayers 2\n"), std::string::npos) << "written at exit once the place mends";
}

TEST_F(Settings, ChoicesMadeWhileHeldAreNotKeptAndThePlayersComeBack) {
    const auto file = [] { return virtual_platform().store[STORE_CONFIG][SETTINGS_FILE]; };
    click(players_key(3));
    const std::string players_own = file();
    settings_hold();
    click(players_key(4));
    click(NEXT_LEVEL_KEY);
    settings_keep_at_exit();
    EXPECT_EQ(file(), players_own);
    settings_restore();
    EXPECT_EQ(player_count, 3);
    EXPECT_EQ(current_level, 0);
    click(NEXT_LEVEL_KEY);
    EXPECT_NE(file().find("\nlevel 2\n"), std::string::npos) << "kept again: " << file();
}

} // namespace
