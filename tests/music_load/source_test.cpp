// Module sources: the block read and seek rules, the file cache against the same bytes in
// memory, and sources that hold nothing.
#include "audio/music/module_source.h"
#include "audio/music/sample_decoder.h"
#include "music_common/module_fixture.h"

#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>

namespace {

std::vector<uint8_t> pattern_bytes(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    return bytes;
}

std::string write_temp_file(const std::vector<uint8_t>& bytes) {
    std::string name = "/tmp/quibbet_source_test_" + std::to_string(getpid()) + ".xm";
    FILE* f = std::fopen(name.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return name;
}

TEST(MemorySource, ReadsAreCutAtTheEndAndKeepTheRestOfTheDestination) {
    std::vector<uint8_t> bytes = {1, 2, 3, 4, 5};
    ModuleSource s{};
    source_set_memory(s, bytes.data(), 5);
    source_open(s);
    uint8_t out[4] = {9, 9, 9, 9};
    source_read(s, out, 3);
    EXPECT_EQ(s.position, 3);
    source_read(s, out, 4);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(out[2], 3) << "not copied: keeps what it held";
    EXPECT_EQ(s.position, 7) << "the position moves by what was asked";
    source_read(s, out, 2);
    EXPECT_EQ(s.position, 7) << "nothing copied, nothing moved";
    EXPECT_TRUE(source_exhausted(s));
    source_seek(s, 4, false);
    EXPECT_FALSE(source_exhausted(s));
}

TEST(MemorySource, SeeksOutsideTheBlockAreIgnored) {
    std::vector<uint8_t> bytes(100);
    ModuleSource s{};
    source_set_memory(s, bytes.data(), 100);
    source_open(s);
    source_seek(s, 40, false);
    EXPECT_EQ(s.position, 40);
    source_seek(s, -50, true);
    EXPECT_EQ(s.position, 40);
    source_seek(s, 61, true);
    EXPECT_EQ(s.position, 40);
    source_seek(s, 60, true);
    EXPECT_EQ(s.position, 100) << "the end itself is allowed";
    source_seek(s, -4, true);
    EXPECT_EQ(s.position, 96);
}

TEST(FileSource, ReadsTheSameBytesAsMemoryThroughTheCache) {
    std::vector<uint8_t> bytes = pattern_bytes(5 * SOURCE_CACHE_BYTES + 1234);
    std::string name = write_temp_file(bytes);
    ModuleSource file{};
    source_set_file(file, name.c_str());
    source_open(file);
    ASSERT_NE(file.file, nullptr);
    EXPECT_EQ(file.size, SOURCE_SIZE_FILE);

    std::mt19937 random(7);
    std::vector<uint8_t> out(3 * SOURCE_CACHE_BYTES + 100);
    for (int i = 0; i < 400; ++i) {
        auto at = static_cast<int64_t>(random() % bytes.size());
        auto count = static_cast<uint32_t>(random() % (i % 4 == 0 ? out.size() : 300));
        source_seek(file, at, false);
        std::fill(out.begin(), out.end(), 0xA5);
        source_read(file, out.data(), count);
        size_t available = std::min<size_t>(count, bytes.size() - static_cast<size_t>(at));
        for (size_t b = 0; b < available; ++b)
            ASSERT_EQ(out[b], bytes[static_cast<size_t>(at) + b])
                << "at " << at << " count " << count << " byte " << b;
        for (size_t b = available; b < count; ++b)
            ASSERT_EQ(out[b], 0xA5) << "past the end of the file";
        ASSERT_EQ(file.position, at + count);
    }
    source_close(file);
    EXPECT_EQ(file.file, nullptr);
    std::remove(name.c_str());
}

TEST(FileSource, LoadsTheSameSongAsMemory) {
    xm::Module m = tone_module(3);
    m.patterns.push_back(xm::pattern(m, 64));
    xm::cell(m, m.patterns[0], 63, 2) = Cell{50, 1, 0x20, 0x0A, 0x0F};
    // A long sample pushes the file across several cache blocks.
    m.instruments[0].samples[0] = xm::square_sample(30000, 9000);
    std::vector<uint8_t> bytes = xm::write(m);
    std::string name = write_temp_file(bytes);

    arena_create();
    ModuleSource s{};
    source_set_file(s, name.c_str());
    ASSERT_TRUE(load_module(s));
    source_close(s);
    EXPECT_EQ(song.channel_count, 3);
    EXPECT_EQ(song.pattern_table[0].cells[63 * 3 + 2].note, 50);
    const SampleRecord* sample = song.instrument_table[0].samples[0];
    ASSERT_NE(sample, nullptr);
    ASSERT_EQ(sample->length, 30000);
    EXPECT_EQ(sample_points(*sample)[29999], -9000);
    EXPECT_EQ(sample_points(*sample)[30000], 9000) << "forward guard";
    arena_destroy();
    std::remove(name.c_str());
}

TEST(EmptySources, MissingFilesAndResourcesFailTheLoad) {
    arena_create();
    ModuleSource s{};
    source_set_file(s, "/nonexistent/quibbet/music.xm");
    EXPECT_FALSE(load_module(s));
    source_close(s);
    source_set_resource(s, "no such resource", nullptr);
    EXPECT_FALSE(load_module(s));
    EXPECT_EQ(s.size, 0u);
    source_close(s);
    source_set_memory(s, nullptr, 1000);
    EXPECT_FALSE(load_module(s));
    arena_destroy();
}

} // namespace
