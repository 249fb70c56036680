#include "game/settings.h"

#include "audio/sfx.h"
#include "engine/input_events.h"
#include "game/board.h"
#include "game/computer_players.h"
#include "game/key_names.h"
#include "game/music_request.h"
#include "game/players.h"
#include "game/turn_keys.h"
#include "platform/store.h"

#include <array>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t WHERE_MAX = 512;
constexpr std::size_t LONGEST_LINE = 200;
constexpr std::array<std::string_view, COMPUTER_HARD + 1> STEERING_WORDS = {"person", "easy", "normal",
                                                                            "hard"};

// What the file can hold, before it is applied.
struct Choices {
    int32_t players = MIN_PLAYERS;
    int32_t level = 0; // 0 .. LEVEL_COUNT - 1; the file counts from 1
    bool music = true, effects = true;
    std::array<int32_t, PLAYER_SLOTS> steering{};
    std::array<std::array<TurnKey, 2>, PLAYER_SLOTS> keys{};
};

Choices defaults() {
    Choices c;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        for (int32_t side = 0; side < 2; ++side) {
            const PlayerControl& d = DEFAULT_PLAYER_CONTROLS[2 * slot + side];
            c.keys[slot][side] = {d.kind, d.code};
        }
    return c;
}

// The names a line may start with; a slot's names end in its number.
enum Name {
    PLAYERS,
    LEVEL,
    MUSIC,
    EFFECTS,
    STEERING,
    KEYS = STEERING + PLAYER_SLOTS,
    NAME_COUNT = KEYS + PLAYER_SLOTS
};

int name_of(std::string_view word) {
    if (word == "players") return PLAYERS;
    if (word == "level") return LEVEL;
    if (word == "music") return MUSIC;
    if (word == "effects") return EFFECTS;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        const char digit = static_cast<char>('1' + slot);
        if (word.size() == 7 && word.starts_with("player") && word[6] == digit) return STEERING + slot;
        if (word.size() == 5 && word.starts_with("keys") && word[4] == digit) return KEYS + slot;
    }
    return -1;
}

std::string_view next_word(std::string_view& rest) {
    const std::size_t start = rest.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest.remove_prefix(start);
    const std::size_t end = std::min(rest.find_first_of(" \t"), rest.size());
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

bool number(std::string_view word, int32_t low, int32_t high, int32_t* out) {
    int32_t n = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), n);
    if (error != std::errc() || end != word.data() + word.size() || n < low || n > high) return false;
    *out = n;
    return true;
}

bool switch_word(std::string_view word, bool* out) {
    if (word != "on" && word != "off") return false;
    *out = word == "on";
    return true;
}

bool steering_word(std::string_view word, int32_t* out) {
    for (std::size_t i = 0; i < STEERING_WORDS.size(); ++i)
        if (word == STEERING_WORDS[i]) {
            *out = static_cast<int32_t>(i);
            return true;
        }
    return false;
}

bool key_word(std::string_view word, TurnKey* out) {
    const KeyName* key = key_name_of_word(word);
    if (!key) return false;
    *out = {key->kind, key->code};
    return true;
}

// One value of the named setting from the rest of its line into the choices; false when it is
// not a value that setting takes.
bool read_value(int name, std::string_view rest, Choices& c) {
    const std::string_view first = next_word(rest), second = next_word(rest);
    const bool more = !next_word(rest).empty();
    if (first.empty() || more || (second.empty() == (name >= KEYS))) return false;
    if (name == PLAYERS) return number(first, MIN_PLAYERS, PLAYER_SLOTS, &c.players);
    if (name == LEVEL) {
        int32_t level = 0;
        if (!number(first, 1, LEVEL_COUNT, &level)) return false;
        c.level = level - 1;
        return true;
    }
    if (name == MUSIC) return switch_word(first, &c.music);
    if (name == EFFECTS) return switch_word(first, &c.effects);
    if (name < KEYS) return steering_word(first, &c.steering[name - STEERING]);
    std::array<TurnKey, 2> keys;
    if (!key_word(first, &keys[0]) || !key_word(second, &keys[1])) return false;
    if (keys[0].kind == keys[1].kind && keys[0].code == keys[1].code) return false;
    c.keys[name - KEYS] = keys;
    return true;
}

const char* what_it_takes(int name) {
    if (name == PLAYERS) return "a player count from 2 to 4";
    if (name == LEVEL) return "a level from 1 to 17";
    if (name == MUSIC || name == EFFECTS) return "on or off";
    if (name < KEYS) return "person, easy, normal or hard";
    return "two different keys from the list above it";
}

bool same(TurnKey a, TurnKey b) {
    return a.kind == b.kind && a.code == b.code;
}

bool clash(const Choices& c, int32_t a, int32_t b) {
    for (TurnKey mine : c.keys[a])
        for (TurnKey theirs : c.keys[b])
            if (same(mine, theirs)) return true;
    return false;
}

// Two slots that would share a key: the one whose line asked for it goes back to its own keys
// (the later one when both did); if a clash is still left, every slot does, so no key ever
// turns two players.
void keys_untangle(Choices& c, const std::array<int32_t, NAME_COUNT>& lines, const char* where) {
    const Choices own = defaults();
    bool left_over = false;
    for (int32_t slot = 1; slot < PLAYER_SLOTS; ++slot) {
        for (int32_t earlier = 0; earlier < slot; ++earlier) {
            if (!clash(c, slot, earlier)) continue;
            const int32_t yields = lines[KEYS + slot] != 0 ? slot : earlier;
            if (lines[KEYS + yields] == 0) {
                left_over = true;
                continue;
            }
            std::fprintf(
                stderr, "quibbet: %s:%d: a key of player %d is another player's; player %d's own keys used\n",
                where, lines[KEYS + yields], yields + 1, yields + 1);
            c.keys[yields] = own.keys[yields];
        }
    }
    for (int32_t a = 0; a < PLAYER_SLOTS; ++a)
        for (int32_t b = 0; b < a; ++b)
            left_over = left_over || clash(c, a, b);
    if (left_over) {
        std::fprintf(stderr, "quibbet: %s: the players' keys clash; every player's own keys used\n", where);
        c.keys = own.keys;
    }
}

void apply(const Choices& c) {
    player_count = c.players;
    current_level = c.level;
    music_state = c.music ? MUSIC_REQUESTED : MUSIC_OFF;
    sfx_enabled = c.effects ? 1 : 0;
    computer_slots = c.steering;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        turn_keys_set(slot, c.keys[slot][0], c.keys[slot][1]);
}

// What the file held when last read or written, and the choices when last looked at.
std::array<char, SETTINGS_TEXT_MAX> on_disk{}, looked_at{};
std::size_t on_disk_size = 0, looked_at_size = 0;
bool write_failure_told = false;
bool held = false;

std::string_view view(const std::array<char, SETTINGS_TEXT_MAX>& text, std::size_t size) {
    return {text.data(), size};
}

void write(std::string_view text) {
    const StoreResult result = platform_store_write(STORE_CONFIG, SETTINGS_FILE, text);
    if (result.status == STORE_OK) {
        std::memcpy(on_disk.data(), text.data(), text.size());
        on_disk_size = text.size();
    } else if (!write_failure_told) {
        write_failure_told = true; // once a run: the place will not mend by itself
        std::fprintf(stderr, "quibbet: the settings are not kept: %s\n", result.message);
    }
}

// The file's text as it grows; a line that would not fit is cut, never overrun.
struct Text {
    std::span<char> out;
    std::size_t size;
};

[[gnu::format(printf, 2, 3)]] void add(Text& text, const char* format, ...) {
    if (text.size >= text.out.size()) return;
    va_list values;
    va_start(values, format);
    const int written =
        std::vsnprintf(text.out.data() + text.size, text.out.size() - text.size, format, values);
    va_end(values);
    text.size = written < 0 ? text.out.size()
                            : std::min(text.out.size(), text.size + static_cast<std::size_t>(written));
}

} // namespace

void settings_apply(std::string_view text, const char* where) {
    Choices c = defaults();
    std::array<int32_t, NAME_COUNT> lines{};
    int32_t line_number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++line_number;
        if (line.ends_with('\r')) line.remove_suffix(1);
        bool readable = line.size() <= LONGEST_LINE;
        for (char ch : line)
            readable = readable && ((ch >= ' ' && ch <= '~') || ch == '\t');
        if (!readable) {
            std::fprintf(stderr, "quibbet: %s:%d: not a line of settings; ignored\n", where, line_number);
            continue;
        }
        std::string_view rest = line;
        const std::string_view word = next_word(rest);
        if (word.empty() || word.starts_with('#')) continue;
        const int name = name_of(word);
        if (name < 0) {
            std::fprintf(stderr, "quibbet: %s:%d: no setting is called \"%.*s\"; ignored\n", where,
                         line_number, static_cast<int>(word.size()), word.data());
            continue;
        }
        if (lines[name] != 0) {
            std::fprintf(stderr, "quibbet: %s:%d: \"%.*s\" was set on line %d already; ignored\n", where,
                         line_number, static_cast<int>(word.size()), word.data(), lines[name]);
            continue;
        }
        lines[name] = line_number;
        // A value that cannot be read leaves the default in place.
        if (!read_value(name, rest, c))
            std::fprintf(stderr, "quibbet: %s:%d: \"%.*s\" takes %s; its default used\n", where, line_number,
                         static_cast<int>(word.size()), word.data(), what_it_takes(name));
    }
    keys_untangle(c, lines, where);
    apply(c);
}

std::size_t settings_text(std::span<char> out) {
    Text text{out, 0};
    add(text, "# Quibbet's settings, kept by the game; each line is a name and its value, under a line\n"
              "# saying what it takes.\n");
    add(text, "# Number of players: 2, 3 or 4\nplayers %d\n", player_count);
    add(text, "# Level: 1 to 17\nlevel %d\n", current_level + 1);
    add(text, "# Music: on or off\nmusic %s\n", music_state == MUSIC_OFF ? "off" : "on");
    add(text, "# Sound effects: on or off\neffects %s\n", sfx_enabled ? "on" : "off");
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        const int32_t steering = computer_slots[slot];
        const std::string_view word =
            STEERING_WORDS[steering >= 0 && steering <= COMPUTER_HARD ? steering : 0];
        add(text, "# Player %d: person, or an easy, normal or hard computer\nplayer%d %.*s\n", slot + 1,
            slot + 1, static_cast<int>(word.size()), word.data());
    }
    add(text, "# Turn keys, left then right: A to Z, 0 to 9, LEFT RIGHT UP DOWN, PAD_0 to PAD_9, PAD_PLUS\n"
              "# PAD_MINUS PAD_MULTIPLY PAD_DIVIDE PAD_POINT, LEFT_SHIFT RIGHT_SHIFT LEFT_CTRL RIGHT_CTRL,\n"
              "# SEMICOLON EQUALS COMMA MINUS PERIOD SLASH BACKQUOTE LEFT_BRACKET BACKSLASH RIGHT_BRACKET\n"
              "# QUOTE, MOUSE_LEFT MOUSE_RIGHT\n");
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        const KeyName* left = key_name_find(player_controls[2 * slot].kind, player_controls[2 * slot].code);
        const KeyName* right =
            key_name_find(player_controls[2 * slot + 1].kind, player_controls[2 * slot + 1].code);
        if (!left || !right) continue; // never so: only named keys are given
        add(text, "keys%d %.*s %.*s\n", slot + 1, static_cast<int>(left->word.size()), left->word.data(),
            static_cast<int>(right->word.size()), right->word.data());
    }
    return text.size;
}

void settings_load() {
    char where[WHERE_MAX];
    platform_store_where(STORE_CONFIG, SETTINGS_FILE, where);
    std::size_t size = 0;
    const StoreResult result = platform_store_read(STORE_CONFIG, SETTINGS_FILE, on_disk, &size);
    on_disk_size = result.status == STORE_OK ? size : 0;
    if (result.status == STORE_TOO_LARGE || result.status == STORE_FAILED)
        std::fprintf(stderr, "quibbet: %s; the default settings used\n", result.message);
    settings_apply(view(on_disk, on_disk_size), where);
    looked_at_size = settings_text(looked_at);
    write_failure_told = false;
    held = false;
}

void settings_keep() {
    if (held) return;
    std::array<char, SETTINGS_TEXT_MAX> now;
    const std::size_t size = settings_text(now);
    if (view(now, size) == view(looked_at, looked_at_size)) return;
    std::memcpy(looked_at.data(), now.data(), size);
    looked_at_size = size;
    write(view(now, size));
}

void settings_keep_at_exit() {
    if (held) return;
    std::array<char, SETTINGS_TEXT_MAX> now;
    const std::size_t size = settings_text(now);
    if (view(now, size) != view(on_disk, on_disk_size)) write(view(now, size));
}

void settings_hold() {
    held = true;
}

void settings_restore() {
    held = false;
    // The last choices kept are the player's: nothing was looked at during the hold.
    settings_apply(view(looked_at, looked_at_size), SETTINGS_FILE);
}
