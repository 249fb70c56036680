#include "key_map_web.h"

#include <cstring>
#include <string_view>

namespace {

struct NamedKey {
    std::string_view name;
    int code;
};

// KeyboardEvent.key names of the keys that are no characters, and the characters of the keys of
// US punctuation, with their codes. Both shifted and unshifted characters, as a layout's key
// gives either.
constexpr NamedKey NAMED_KEYS[] = {
    {"Backspace", 0x08},  {"Tab", 0x09},       {"Enter", 0x0D},   {"Pause", 0x13},      {"CapsLock", 0x14},
    {"Escape", 0x1B},     {" ", 0x20},         {"PageUp", 0x21},  {"PageDown", 0x22},   {"End", 0x23},
    {"Home", 0x24},       {"ArrowLeft", 0x25}, {"ArrowUp", 0x26}, {"ArrowRight", 0x27}, {"ArrowDown", 0x28},
    {"Insert", 0x2D},     {"Delete", 0x2E},    {"Meta", 0x5B},    {"OS", 0x5B},         {"ContextMenu", 0x5D},
    {"F1", 0x70},         {"F2", 0x71},        {"F3", 0x72},      {"F4", 0x73},         {"F5", 0x74},
    {"F6", 0x75},         {"F7", 0x76},        {"F8", 0x77},      {"F9", 0x78},         {"F10", 0x79},
    {"F11", 0x7A},        {"F12", 0x7B},       {";", 0xBA},       {":", 0xBA},          {"=", 0xBB},
    {"+", 0xBB},          {",", 0xBC},         {"<", 0xBC},       {"-", 0xBD},          {"_", 0xBD},
    {".", 0xBE},          {">", 0xBE},         {"/", 0xBF},       {"?", 0xBF},          {"`", 0xC0},
    {"~", 0xC0},          {"[", 0xDB},         {"{", 0xDB},       {"\\", 0xDC},         {"|", 0xDC},
    {"]", 0xDD},          {"}", 0xDD},         {"'", 0xDE},       {"\"", 0xDE},         {"NumLock", 0x90},
    {"ScrollLock", 0x91},
};

// Either side of Shift and Ctrl may be a player's key, so the side comes from the physical key.
constexpr NamedKey SIDED[] = {
    {"ShiftLeft", 0xA0},
    {"ShiftRight", 0xA1},
    {"ControlLeft", 0xA2},
    {"ControlRight", 0xA3},
};

// The keypad's keys are told apart by their physical names, whatever character they give.
constexpr NamedKey KEYPAD[] = {
    {"NumpadMultiply", 0x6A}, {"NumpadAdd", 0x6B},    {"NumpadSubtract", 0x6D},
    {"NumpadDecimal", 0x6E},  {"NumpadDivide", 0x6F},
};

int find(std::string_view name, const auto& table) {
    for (const NamedKey& k : table)
        if (k.name == name) return k.code;
    return 0;
}

bool latin_letter(std::string_view key) {
    return key.size() == 1 && ((key[0] >= 'a' && key[0] <= 'z') || (key[0] >= 'A' && key[0] <= 'Z'));
}

int layout_key(std::string_view key) {
    if (latin_letter(key)) return key[0] >= 'a' ? 'A' + (key[0] - 'a') : key[0];
    if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') return key[0];
    return find(key, NAMED_KEYS);
}

// "KeyQ" -> 'Q', else 0.
int letter_key(std::string_view code) {
    return code.size() == 4 && code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z' ? code[3] : 0;
}

// "KeyQ" -> 'Q', "Digit1" -> '1'.
int physical_key(std::string_view code) {
    if (const int vk = letter_key(code)) return vk;
    if (code.size() == 6 && code.starts_with("Digit") && code[5] >= '0' && code[5] <= '9') return code[5];
    return 0;
}

int keypad_key(std::string_view code) {
    if (code.size() == 7 && code.starts_with("Numpad") && code[6] >= '0' && code[6] <= '9')
        return 0x60 + (code[6] - '0');
    return find(code, KEYPAD);
}

} // namespace

bool web_layout_seen(const char* key, const char* code, bool latin_layout) {
    const std::string_view k = key ? key : "", c = code ? code : "";
    if (!letter_key(c) || k.empty()) return latin_layout;
    if (latin_letter(k)) return true;
    // One character of UTF-8 beyond ASCII (named keys such as "Dead" are ASCII words).
    if (static_cast<unsigned char>(k[0]) >= 0x80) return false;
    return latin_layout;
}

int web_key_to_virtual_key(const char* key, const char* code, bool latin_layout) {
    const std::string_view k = key ? key : "", c = code ? code : "";
    if (!latin_layout)
        if (const int vk = letter_key(c)) return vk;
    // The keypad's characters are its own keys; with Num Lock off it gives End, arrows and the
    // like, which are the layout's keys as on Windows.
    if (k.size() == 1)
        if (const int vk = keypad_key(c)) return vk;
    if (k == "Shift" || k == "Control")
        if (const int vk = find(c, SIDED)) return vk;
    if (const int vk = layout_key(k)) return vk;
    if (const int vk = physical_key(c)) return vk;
    return WEB_VK_UNMAPPED;
}
