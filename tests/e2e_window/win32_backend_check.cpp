// Checks of the Windows backend's services that run without a window: module files read at
// absolute offsets, RCDATA resources, the time-critical thread and the clock; and the extended
// precision the credits picture's place relies on, at run time in a Windows process. Built with
// the mingw-w64 compiler and run under wine; exit status 0 when every check holds.
#include "game/credits_place.h"
#include "platform/clock.h"
#include "platform/module_file.h"
#include "platform/thread.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

int failures = 0;

void check(bool holds, const char* what) {
    std::printf("%s: %s\n", holds ? "ok  " : "FAIL", what);
    if (!holds) ++failures;
}

constexpr uint32_t FILE_SIZE = 256;

uint8_t byte_at(uint64_t offset) {
    return static_cast<uint8_t>(offset * 7 + 3);
}

void check_module_files() {
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    std::strcat(path, "quibbet-module-file-check.bin");
    std::array<uint8_t, FILE_SIZE> bytes;
    for (uint32_t i = 0; i < FILE_SIZE; ++i)
        bytes[i] = byte_at(i);
    FILE* out = std::fopen(path, "wb");
    check(out && std::fwrite(bytes.data(), 1, FILE_SIZE, out) == FILE_SIZE, "test file written");
    if (out) std::fclose(out);

    PlatformFile* file = platform_file_open(path);
    check(file != nullptr, "an existing file opens");
    if (!file) return;
    PlatformFile* second = platform_file_open(path);
    check(second != nullptr, "a second reader may open the same file");
    platform_file_close(second);

    std::array<uint8_t, FILE_SIZE> got{};
    // Out of order on purpose: every read must go to its own offset, not follow the last one.
    check(platform_file_read_at(file, 200, got.data(), 8) == 8 && got[0] == byte_at(200) &&
              got[7] == byte_at(207),
          "read of 8 bytes at offset 200");
    check(platform_file_read_at(file, 3, got.data(), 1) == 1 && got[0] == byte_at(3),
          "read of 1 byte at offset 3");
    check(platform_file_read_at(file, 100, got.data(), 200) == 156 && got[155] == byte_at(255),
          "a read across the end returns what is there");
    check(platform_file_read_at(file, FILE_SIZE, got.data(), 4) == 0, "a read at the end returns 0");
    // An offset that only differs from 5 in its high 32 bits must not read offset 5.
    check(platform_file_read_at(file, (uint64_t{1} << 32) + 5, got.data(), 4) == 0,
          "a read past 4 GiB returns 0");
    platform_file_close(file);
    platform_file_close(nullptr);
    DeleteFileA(path);
    check(platform_file_open(path) == nullptr, "a missing file does not open");
}

void check_resources() {
    const uint8_t* data = reinterpret_cast<const uint8_t*>(1);
    uint32_t size = 1;
    check(platform_resource_find("PROBE", nullptr, &data, &size), "the program's RCDATA resource is found");
    check(size == 12 && data && std::memcmp(data, "quibbet rsrc", 12) == 0, "with its size and bytes");
    data = reinterpret_cast<const uint8_t*>(1);
    size = 1;
    check(!platform_resource_find("NO-SUCH-THING", nullptr, &data, &size) && !data && size == 0,
          "a missing resource is reported with no data and size 0");
}

std::atomic<int> thread_priority{0};
std::atomic<bool> thread_ran{false};

bool record_priority(void* arg) {
    thread_priority.store(GetThreadPriority(GetCurrentThread()));
    thread_ran.store(*static_cast<int*>(arg) == 42);
    return false;
}

void check_thread() {
    int argument = 42;
    PlatformThread* thread = platform_thread_start(record_priority, &argument, 1);
    check(thread != nullptr, "a thread starts");
    platform_thread_join(thread);
    check(thread_ran.load(), "it ran with its argument before the join returned");
    check(thread_priority.load() == THREAD_PRIORITY_TIME_CRITICAL, "at time-critical priority");
    platform_thread_join(nullptr);
}

void check_clock() {
    const int64_t before = platform_clock_ms();
    platform_sleep_ms(30);
    const int64_t after = platform_clock_ms();
    check(before > 0, "the clock is never 0");
    check(after - before >= 25 && after - before < 2000, "a 30 ms sleep moves the clock by about 30 ms");
}

// The sizes come from the image table at run time, so the arithmetic is not folded away here either.
void check_credits_place() {
    volatile int32_t width = 400, height = 320;
    const CreditsPlace place = credits_place(width, height);
    std::printf("credits picture of 400 x 320 at (%d, %d)\n", place.x, place.y);
    check(place.x == 39 && place.y == 21, "credits picture at (39, 21), not (40, 22)");
}

} // namespace

int main() {
    check_module_files();
    check_resources();
    check_thread();
    check_clock();
    check_credits_place();
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
