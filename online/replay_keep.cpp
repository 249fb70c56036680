#include "online/replay_keep.h"

#include "platform/store.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* PREFIX = "replay-";
constexpr const char* SUFFIX = ".qrp";
constexpr size_t NUMBER_DIGITS = 8;
// Room for every kept replay and whatever else the data place holds.
constexpr size_t NAMES_MAX = 256;

// The number of a replay's file name, or -1 for any other name.
long replay_number(const char* name) {
    const size_t prefix = std::strlen(PREFIX), suffix = std::strlen(SUFFIX);
    if (std::strlen(name) != prefix + NUMBER_DIGITS + suffix) return -1;
    if (std::strncmp(name, PREFIX, prefix) != 0 || std::strcmp(name + prefix + NUMBER_DIGITS, SUFFIX) != 0)
        return -1;
    long n = 0;
    for (size_t i = 0; i < NUMBER_DIGITS; ++i) {
        const char d = name[prefix + i];
        if (d < '0' || d > '9') return -1;
        n = n * 10 + (d - '0');
    }
    return n;
}

struct Kept {
    std::array<long, NAMES_MAX> numbers;
    size_t count;
    bool ok;
    StoreResult result;
};

// The kept replays' numbers, oldest first.
Kept kept_now() {
    static std::array<StoreName, NAMES_MAX> names;
    Kept kept{};
    size_t count = 0;
    kept.result = platform_store_list(STORE_DATA, names, &count);
    kept.ok = kept.result.status == STORE_OK || kept.result.status == STORE_TOO_LARGE;
    for (size_t i = 0; i < count && i < names.size(); ++i)
        if (const long n = replay_number(names[i].text); n >= 0) kept.numbers[kept.count++] = n;
    std::sort(kept.numbers.begin(), kept.numbers.begin() + static_cast<long>(kept.count));
    return kept;
}

StoreName replay_name(long number) {
    StoreName name{};
    std::snprintf(name.text, sizeof name.text, "%s%0*ld%s", PREFIX, static_cast<int>(NUMBER_DIGITS), number,
                  SUFFIX);
    return name;
}

void said(const char* what, const StoreResult& r) {
    std::fprintf(stderr, "quibbet: %s: %s\n", what, r.message);
}

} // namespace

void replay_keep(std::span<const uint8_t> bytes) {
    if (bytes.empty()) {
        std::fprintf(stderr, "quibbet: this game was too long to keep as a replay\n");
        return;
    }
    const Kept kept = kept_now();
    if (!kept.ok) return said("the game's replay was not kept", kept.result);
    const long next = kept.count ? kept.numbers[kept.count - 1] + 1 : 1;
    const StoreName name = replay_name(next);
    const StoreResult written = platform_store_write(
        STORE_DATA, name.text, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    if (written.status != STORE_OK) return said("the game's replay was not kept", written);
    // This one is kept, so count it: the oldest go until REPLAYS_KEPT are left.
    for (size_t i = 0; i + REPLAYS_KEPT < kept.count + 1; ++i) {
        const StoreResult removed = platform_store_remove(STORE_DATA, replay_name(kept.numbers[i]).text);
        if (removed.status != STORE_OK && removed.status != STORE_MISSING)
            return said("an old replay could not be removed", removed);
    }
}

bool replay_last(std::span<uint8_t> buffer, size_t* size, std::span<char> message) {
    *size = 0;
    const Kept kept = kept_now();
    if (!kept.ok || kept.count == 0) {
        std::snprintf(message.data(), message.size(), "no game has been recorded yet%s%s",
                      kept.ok ? "" : ": ", kept.ok ? "" : kept.result.message);
        return false;
    }
    const StoreName name = replay_name(kept.numbers[kept.count - 1]);
    const StoreResult read = platform_store_read(
        STORE_DATA, name.text, {reinterpret_cast<char*>(buffer.data()), buffer.size()}, size);
    if (read.status == STORE_OK) return true;
    std::snprintf(message.data(), message.size(), "%s", read.message);
    return false;
}
