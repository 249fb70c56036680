// Replay files: games recorded as played are kept twenty at most, oldest gone first, and play
// back to the recorded end; a store that cannot be written costs the replay with one line and
// never the game; a damaged file, or one of another version, is refused with one clear line.
#include "online/replay_keep.h"
#include "played_back.h"
#include "recorded_games.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> as_bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

TEST(ReplayFiles, GamesAreKeptTwentyAtMostOldestGoneAndPlayBackAsRecorded) {
    std::vector<std::string> names;
    std::string last;
    ASSERT_TRUE(games_record(3, 5, [&](const std::string& name, const std::string& bytes) {
        names.push_back(name);
        last = bytes;
    }));
    EXPECT_EQ(names, std::vector<std::string>(3, "replay-00000001.qrp")) << "the store is emptied after each";
    const ReplayOpened opened = replay_open(as_bytes(last));
    ASSERT_TRUE(opened.ok) << opened.message;
    EXPECT_LT(last.size(), 4096u);
    EXPECT_EQ(played_back(as_bytes(last)), opened.final_checksum);

    // Twenty-one games into a store that keeps them: the first goes.
    virtual_platform_reset();
    for (int i = 0; i < REPLAYS_KEPT + 1; ++i)
        replay_keep(as_bytes(last));
    const auto& store = virtual_platform().store[STORE_DATA];
    EXPECT_EQ(store.size(), static_cast<size_t>(REPLAYS_KEPT));
    EXPECT_EQ(store.count("replay-00000001.qrp"), 0u);
    EXPECT_EQ(store.begin()->first, "replay-00000002.qrp");
    std::array<uint8_t, REPLAY_BYTES_MAX> buffer;
    size_t size = 0;
    std::array<char, 400> message{};
    ASSERT_TRUE(replay_last(buffer, &size, message));
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + static_cast<long>(size)), last);
}

TEST(ReplayFiles, AStoreThatCannotBeWrittenCostsTheReplayWithOneLine) {
    virtual_platform_reset();
    virtual_platform().store_unwritable = true;
    testing::internal::CaptureStderr();
    replay_keep(std::vector<uint8_t>(40, 1));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("quibbet: the game's replay was not kept: "), std::string::npos) << said;
    EXPECT_TRUE(virtual_platform().store[STORE_DATA].empty());
}

TEST(ReplayFiles, DamagedFilesAndOtherVersionsAreRefusedWithOneClearLine) {
    std::string good;
    ASSERT_TRUE(games_record(1, 9, [&](const std::string&, const std::string& bytes) { good = bytes; }));
    ASSERT_TRUE(replay_open(as_bytes(good)).ok);
    const size_t events = REPLAY_HEADER_BYTES; // where the ticks begin
    size_t first_press = events; // the first press's kind byte, after its tick's lead byte
    while (static_cast<uint8_t>(good[first_press]) < 0x80) ++first_press;
    ++first_press;
    struct Damage {
        const char* what;
        std::function<void(std::string&)> apply;
        const char* message;
    };
    const std::vector<Damage> table = {
        {"empty", [](std::string& f) { f.clear(); }, "not a replay of this game"},
        {"wrong magic", [](std::string& f) { f[0] = 'X'; }, "not a replay of this game"},
        {"cut in the header", [](std::string& f) { f.resize(20); }, "damaged replay: cut short"},
        {"cut in the ticks", [](std::string& f) { f.resize(f.size() - 9); }, "damaged replay: its ticks"},
        {"cut in the checksum", [](std::string& f) { f.resize(f.size() - 3); }, "damaged replay: its ticks"},
        {"trailing bytes", [](std::string& f) { f += "junk"; }, "damaged replay: its ticks"},
        {"another version", [](std::string& f) { f[6] = static_cast<char>(f[6] + 1); },
         "a replay of Quibbet 1."},
        {"the format before strengths", [](std::string& f) { f[4] = static_cast<char>(REPLAY_FORMAT - 1); },
         "which plays only its own"},
        {"level 18", [](std::string& f) { f[8] = 17; }, "damaged replay: level 18 of 17"},
        {"one player", [](std::string& f) { f[9] = 1; }, "damaged replay: 1 players"},
        {"five players", [](std::string& f) { f[9] = 5; }, "damaged replay: 5 players"},
        {"negative start", [](std::string& f) { f[18] = static_cast<char>(0x80); },
         "damaged replay: starts at"},
        {"too many ticks", [](std::string& f) { f[26] = 0x7f; }, "damaged replay: 2"},
        {"a tick more", [](std::string& f) { ++f[23]; }, "damaged replay: its ticks"},
        {"a tick less", [](std::string& f) { --f[23]; }, "damaged replay: its ticks"},
        {"51 presses", [=](std::string& f) { f[events] = static_cast<char>(0x80 + TICK_EVENTS); },
         "damaged replay: its ticks"},
        {"a seat's steering that turns", [=](std::string& f) { f[first_press] = static_cast<char>(f[first_press] | 0x40); },
         "damaged replay: its ticks"},
        {"garbage", [=](std::string& f) { std::memset(&f[events], 0xff, f.size() - events); },
         "damaged replay: its ticks"},
        {"larger than any", [](std::string& f) { f.resize(REPLAY_BYTES_MAX + 1); },
         "not a replay: larger than"},
    };
    for (const Damage& d : table) {
        std::string file = good;
        d.apply(file);
        const ReplayOpened r = replay_open(as_bytes(file));
        EXPECT_FALSE(r.ok) << d.what;
        EXPECT_NE(std::string(r.message).find(d.message), std::string::npos) << d.what << ": " << r.message;
        EXPECT_EQ(std::strchr(r.message, '\n'), nullptr) << d.what;
    }
}

} // namespace
