// Arbitrary bytes as the settings file: whatever it says, the choices that come out are ones the
// menu could have made, no key turns two players, and the file written from them reads back the
// same.
#include "game/board.h"
#include "game/computer_players.h"
#include "game/key_names.h"
#include "game/players.h"
#include "game/settings.h"
#include "game/turn_keys.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = std::freopen("/dev/null", "w", stderr) != nullptr; // one line per bad line
    (void)quiet;
    settings_apply({reinterpret_cast<const char*>(data), size}, "fuzz");
    if (player_count < MIN_PLAYERS || player_count > PLAYER_SLOTS) std::abort();
    if (current_level < 0 || current_level >= LEVEL_COUNT) std::abort();
    for (int32_t s : computer_slots)
        if (s < COMPUTER_NONE || s > COMPUTER_HARD) std::abort();
    for (const PlayerControl& c : player_controls)
        if (!key_name_find(c.kind, c.code) || player_control_find(c.kind, c.code) != &c) std::abort();
    std::array<char, SETTINGS_TEXT_MAX> written, again;
    const std::size_t n = settings_text(written);
    settings_apply({written.data(), n}, "fuzz");
    if (settings_text(again) != n || std::string_view(written.data(), n) != std::string_view(again.data(), n))
        std::abort();
    return 0;
}
