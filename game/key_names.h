// Every key and button a person may give a player to turn with, as one table: its code (the
// virtual-key code the backends report, or the mouse button), its word in the settings file and
// the label its cap shows. The controls pictures are drawn from it, and the atlas generator
// paints one cap label per row (image "key_" + word in lower case + ".png"). A key that is not
// here cannot be chosen: it would have no readable cap. Main thread only.
#pragma once
#include "engine/input_events.h"

#include <array>
#include <cstdint>
#include <string_view>

// What a cap shows besides lettering.
enum class CapSymbol : uint8_t {
    text,
    arrow_left,
    arrow_right,
    arrow_up,
    arrow_down,
    mouse_left,
    mouse_right
};

struct KeyName {
    int32_t kind; // EVENT_KEY or EVENT_MOUSE_BUTTON
    int32_t code;
    std::string_view word;  // in the settings file: upper case, digits and _
    std::string_view small; // a tag over the label ("" for none), e.g. PAD or SHIFT
    std::string_view label; // the cap's lettering, when symbol is text
    CapSymbol symbol;
};

namespace key_names_detail {
constexpr KeyName key(int32_t code, std::string_view word, std::string_view small, std::string_view label) {
    return {EVENT_KEY, code, word, small, label, CapSymbol::text};
}
constexpr KeyName symbol(int32_t kind, int32_t code, std::string_view word, CapSymbol s) {
    return {kind, code, word, "", "", s};
}
} // namespace key_names_detail

constexpr auto KEY_NAMES = [] {
    using namespace key_names_detail;
    constexpr std::string_view LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ", DIGITS = "0123456789";
    constexpr std::string_view PAD_WORDS[] = {"PAD_0", "PAD_1", "PAD_2", "PAD_3", "PAD_4",
                                              "PAD_5", "PAD_6", "PAD_7", "PAD_8", "PAD_9"};
    std::array<KeyName, 72> t{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < LETTERS.size(); ++i)
        t[n++] = key(LETTERS[i], LETTERS.substr(i, 1), "", LETTERS.substr(i, 1));
    for (std::size_t i = 0; i < DIGITS.size(); ++i)
        t[n++] = key(DIGITS[i], DIGITS.substr(i, 1), "", DIGITS.substr(i, 1));
    t[n++] = symbol(EVENT_KEY, 0x25, "LEFT", CapSymbol::arrow_left);
    t[n++] = symbol(EVENT_KEY, 0x26, "UP", CapSymbol::arrow_up);
    t[n++] = symbol(EVENT_KEY, 0x27, "RIGHT", CapSymbol::arrow_right);
    t[n++] = symbol(EVENT_KEY, 0x28, "DOWN", CapSymbol::arrow_down);
    for (int32_t i = 0; i < 10; ++i)
        t[n++] = key(0x60 + i, PAD_WORDS[i], "PAD", DIGITS.substr(static_cast<std::size_t>(i), 1));
    t[n++] = key(0x6A, "PAD_MULTIPLY", "PAD", "*");
    t[n++] = key(0x6B, "PAD_PLUS", "PAD", "+");
    t[n++] = key(0x6D, "PAD_MINUS", "PAD", "-");
    t[n++] = key(0x6E, "PAD_POINT", "PAD", ".");
    t[n++] = key(0x6F, "PAD_DIVIDE", "PAD", "/");
    t[n++] = key(0xA0, "LEFT_SHIFT", "SHIFT", "L");
    t[n++] = key(0xA1, "RIGHT_SHIFT", "SHIFT", "R");
    t[n++] = key(0xA2, "LEFT_CTRL", "CTRL", "L");
    t[n++] = key(0xA3, "RIGHT_CTRL", "CTRL", "R");
    t[n++] = key(0xBA, "SEMICOLON", "", ";");
    t[n++] = key(0xBB, "EQUALS", "", "=");
    t[n++] = key(0xBC, "COMMA", "", ",");
    t[n++] = key(0xBD, "MINUS", "", "-");
    t[n++] = key(0xBE, "PERIOD", "", ".");
    t[n++] = key(0xBF, "SLASH", "", "/");
    t[n++] = key(0xC0, "BACKQUOTE", "", "`");
    t[n++] = key(0xDB, "LEFT_BRACKET", "", "[");
    t[n++] = key(0xDC, "BACKSLASH", "", "\\");
    t[n++] = key(0xDD, "RIGHT_BRACKET", "", "]");
    t[n++] = key(0xDE, "QUOTE", "", "'");
    t[n++] = symbol(EVENT_MOUSE_BUTTON, 0, "MOUSE_LEFT", CapSymbol::mouse_left);
    t[n++] = symbol(EVENT_MOUSE_BUTTON, 1, "MOUSE_RIGHT", CapSymbol::mouse_right);
    return n == t.size() ? t : throw "KEY_NAMES is not full";
}();

// The row of a key or button, or null when it cannot be chosen.
const KeyName* key_name_find(int32_t kind, int32_t code);
// The row of a settings-file word, or null.
const KeyName* key_name_of_word(std::string_view word);
// The cap label's image name: "key_" + the word in lower case + ".png".
constexpr std::size_t KEY_IMAGE_NAME_SIZE = 32;
constexpr std::array<char, KEY_IMAGE_NAME_SIZE> key_image_name(const KeyName& key) {
    std::array<char, KEY_IMAGE_NAME_SIZE> name{};
    std::size_t n = 0;
    for (char c : std::string_view("key_"))
        name[n++] = c;
    for (char c : key.word)
        name[n++] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    for (char c : std::string_view(".png"))
        name[n++] = c;
    return name;
}
