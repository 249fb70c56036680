// The Linux files store against a real temporary folder.
#include "platform/store.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;

struct StorePosix : testing::Test {
    fs::path root = fs::temp_directory_path() / ("quibbet-store-" + std::to_string(getpid()));
    void SetUp() override {
        fs::remove_all(root);
        fs::create_directories(root);
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root); }
};

std::string read(StorePlace place, const char* name, StoreStatus* status) {
    char buffer[64];
    std::size_t size = 0;
    *status = platform_store_read(place, name, buffer, &size).status;
    return std::string(buffer, *status == STORE_OK ? size : 0);
}

TEST_F(StorePosix, WritesReplaceWholeFilesListsAndRemovesThem) {
    StoreStatus status;
    EXPECT_EQ(read(STORE_CONFIG, "quibbet.cfg", &status), "");
    EXPECT_EQ(status, STORE_MISSING);
    ASSERT_EQ(platform_store_write(STORE_CONFIG, "quibbet.cfg", std::string_view("level 5\n")).status,
              STORE_OK);
    ASSERT_EQ(platform_store_write(STORE_CONFIG, "quibbet.cfg", std::string_view("level 7\n")).status,
              STORE_OK);
    EXPECT_EQ(read(STORE_CONFIG, "quibbet.cfg", &status), "level 7\n");
    EXPECT_TRUE(fs::exists(root / "config/quibbet/quibbet.cfg"));
    // The two places are apart; no temporary file or folder is listed.
    ASSERT_EQ(platform_store_write(STORE_DATA, "a.rec", std::string_view("x")).status, STORE_OK);
    fs::create_directory(root / "data/quibbet/folder");
    std::ofstream(root / "data/quibbet/.b.rec") << "half";
    StoreName names[4];
    std::size_t count = 0;
    ASSERT_EQ(platform_store_list(STORE_DATA, names, &count).status, STORE_OK);
    ASSERT_EQ(count, 1u);
    EXPECT_STREQ(names[0].text, "a.rec");
    EXPECT_EQ(platform_store_list(STORE_DATA, std::span(names, 0), &count).status, STORE_TOO_LARGE);
    EXPECT_EQ(platform_store_remove(STORE_DATA, "a.rec").status, STORE_OK);
    EXPECT_EQ(platform_store_remove(STORE_DATA, "a.rec").status, STORE_MISSING);
    // A file larger than the buffer says how large it is.
    const std::string big(100, 'z');
    ASSERT_EQ(platform_store_write(STORE_DATA, "big", big).status, STORE_OK);
    char small[10];
    std::size_t size = 0;
    EXPECT_EQ(platform_store_read(STORE_DATA, "big", small, &size).status, STORE_TOO_LARGE);
    EXPECT_EQ(size, 100u);
}

TEST_F(StorePosix, RefusesNamesThatLeaveThePlaceAndReportsAnUnwritablePlace) {
    const std::string too_long(STORE_NAME_MAX + 1, 'n');
    for (const char* name : {"", ".hidden", "../escape", "a/b", "sp ace", "\x01", too_long.c_str()}) {
        const StoreResult result = platform_store_write(STORE_CONFIG, name, std::string_view("x"));
        EXPECT_EQ(result.status, STORE_FAILED) << name;
        EXPECT_NE(std::string(result.message).find("refused file name"), std::string::npos) << name;
    }
    std::ofstream(root / "plain") << "a file where a folder should be";
    setenv("XDG_CONFIG_HOME", (root / "plain").c_str(), 1);
    const StoreResult result = platform_store_write(STORE_CONFIG, "quibbet.cfg", std::string_view("x"));
    EXPECT_EQ(result.status, STORE_FAILED);
    EXPECT_NE(std::string(result.message).find((root / "plain").string()), std::string::npos)
        << result.message;
    // A relative XDG value is ignored: the home folder's place is used.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", root.c_str(), 1);
    char where[256];
    platform_store_where(STORE_CONFIG, "quibbet.cfg", where);
    EXPECT_EQ(std::string(where), (root / ".config/quibbet/quibbet.cfg").string());
}

} // namespace
