// Snapshots: the region list covers every writable table of the libraries a tick runs in, and
// random whole sessions, restored 1 to 12 ticks back at random moments and run on again from
// there with the same inputs, end exactly as the straight run: every checksum, the final
// tables byte for byte, and every effect heard once.
#include "game/game_tick.h"
#include "game/rules_checksum.h"
#include "game/snapshot.h"
#include "game/sounds.h"
#include "game_harness.h"
#include "random_player.h"
#include "test_song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

// Writable tables that no tick changes or that are no part of the game's state.
const std::set<std::string> NOT_TICKING = {
    "image_table",
    "image_count",
    "texture_slots",
    "texture_slot_count",   // start-up loads the atlas
    "scene_table",          // start-up installs the callbacks
    "engine_fatal_handler", // start-up
    "music_song",           // start-up
    "event_queue",          // presses waiting for the next tick: its input, not its state
    "sprite_batch",         // the renderer's arrays, filled afresh for every picture
    "sfx_module",           // the effects device, an output
    "tick_silent",          // set around a tick by whoever runs it
    "credits_may_quit",     // the same
    "on_disk",              // the settings file's bookkeeping: kept between ticks, never in one
    "on_disk_size",
    "looked_at",
    "looked_at_size",
    "write_failure_told",
    "held",                 // set as a room begins and cleared as it ends, between ticks
    "caps_from",            // the same
    "REGIONS",              // this list itself, constant (its addresses put it in a relocated section)
};

std::vector<std::string> writable_tables(const std::string& library) {
    const std::string command = std::string(QUIBBET_OBJDUMP) + " -t -C " + library;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    // An object in a writable data section, named in the last column.
    static const std::regex row(
        R"(^[0-9a-f]+ .{6}O \.(bss|data|data\.rel|data\.rel\.local)\s+[0-9a-f]+ (.+)$)");
    std::vector<std::string> names;
    std::array<char, 512> line{};
    while (fgets(line.data(), static_cast<int>(line.size()), pipe)) {
        std::string text(line.data());
        if (!text.empty() && text.back() == '\n') text.pop_back();
        std::smatch m;
        // Reserved names are the compiler's own (the sanitizers' records, for one).
        if (std::regex_match(text, m, row) && m[2].str().rfind("__", 0) != 0) names.push_back(m[2]);
    }
    pclose(pipe);
    return names;
}

TEST(Snapshot, RegionsCoverEveryWritableTableOfTheGameTheEngineAndTheEffects) {
    std::set<std::string> listed;
    for (const SnapshotRegion& r : snapshot_regions())
        listed.insert(r.name);
    int32_t found = 0;
    for (const char* library : {QUIBBET_GAME_LIBRARY, QUIBBET_ENGINE_LIBRARY, QUIBBET_AUDIO_LIBRARY}) {
        for (std::string name : writable_tables(library)) {
            ++found;
            name = std::regex_replace(name, std::regex(R"(^\(anonymous namespace\)::)"), "");
            EXPECT_TRUE(listed.count(name) || NOT_TICKING.count(name))
                << name << " in " << library << " is in no snapshot region";
        }
    }
    EXPECT_GT(found, 40) << "the tables were not read";
}

constexpr int32_t SESSION_TICKS = 12'000;
constexpr int32_t RING = 13; // the snapshots before each of the last 13 ticks
constexpr int32_t FURTHEST_BACK = 12;
constexpr int SONG_ROWS = 16;

struct Session {
    std::vector<TickInput> inputs;
    std::vector<uint64_t> checksums;
    std::vector<HeardEffect> effects;
    std::vector<uint8_t> tables;
};

void session_start() {
    harness_start();
    harness_song(test_song(SONG_ROWS)); // the music switch and the ends of games start it
}

std::vector<uint8_t> tables_now() {
    std::vector<uint8_t> bytes(snapshot_size());
    snapshot_save(bytes);
    return bytes;
}

Session straight(uint32_t seed) {
    session_start();
    RandomPlayer player(seed);
    Session run;
    for (int32_t t = 0; t < SESSION_TICKS; ++t) {
        player.act();
        harness_tick();
        run.inputs.push_back(harness_last_input());
        run.checksums.push_back(rules_checksum());
    }
    run.effects = harness_effects();
    run.tables = tables_now();
    harness_stop();
    return run;
}

TEST(Snapshot, RunsAgainAfterRestoresEndAsTheStraightRunWithEveryEffectOnce) {
    for (uint32_t seed : {7u, 2013u}) {
        const Session expected = straight(seed);
        session_start();
        std::mt19937 when(seed);
        std::vector<std::vector<uint8_t>> ring(RING, std::vector<uint8_t>(snapshot_size()));
        int32_t restores = 0;
        for (int32_t t = 0; t < SESSION_TICKS; ++t) {
            ASSERT_TRUE(snapshot_save(ring[static_cast<size_t>(t % RING)]));
            harness_tick_input(expected.inputs[static_cast<size_t>(t)]);
            ASSERT_EQ(rules_checksum(), expected.checksums[static_cast<size_t>(t)]) << "tick " << t;
            if (when() % 16 != 0) continue;
            const int32_t back = std::min<int32_t>(1 + static_cast<int32_t>(when() % FURTHEST_BACK), t + 1);
            ASSERT_TRUE(snapshot_restore(ring[static_cast<size_t>((t + 1 - back) % RING)]));
            tick_silent = true;
            for (int32_t again = t + 1 - back; again <= t; ++again) {
                game_tick(expected.inputs[static_cast<size_t>(again)]);
                ASSERT_EQ(rules_checksum(), expected.checksums[static_cast<size_t>(again)])
                    << "tick " << again << " run again from " << t + 1 - back;
            }
            tick_silent = false;
            ++restores;
        }
        EXPECT_GT(restores, SESSION_TICKS / 20);
        EXPECT_EQ(harness_effects(), expected.effects);
        EXPECT_GT(expected.effects.size(), 100u);
        EXPECT_TRUE(tables_now() == expected.tables) << "seed " << seed;
        harness_stop();
    }
}

} // namespace
