#include "app/room_banner.h"

#include "engine/image_table.h"
#include "engine/sprite_pool.h"

#include <array>

namespace {

constexpr int32_t LINE_X = 6, LINE_Y = 4;
// Neighbouring glyph cells overlap by this much; a space advances as far as a narrow letter.
constexpr int32_t GLYPH_OVERLAP = 2, SPACE_ADVANCE = 6;
constexpr size_t BANNER_CHARACTERS = 80;

struct SignName {
    char sign;
    const char* name;
};
constexpr std::array<SignName, 11> SIGNS{{{'!', "bang"},
                                          {'.', "dot"},
                                          {',', "comma"},
                                          {':', "colon"},
                                          {'-', "dash"},
                                          {'/', "slash"},
                                          {'\'', "apostrophe"},
                                          {'(', "open"},
                                          {')', "close"},
                                          {'?', "question"},
                                          {'#', "hash"}}};

std::string line;
bool button_shown = false;
int32_t mark = -1;

// The glyph's image entry, or -1 for a space or a character without one.
int32_t glyph_image(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    std::string name;
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) name = std::string("glyph_") + c + ".png";
    for (const SignName& s : SIGNS)
        if (s.sign == c) name = std::string("glyph_") + s.name + ".png";
    return name.empty() ? -1 : image_find(name.c_str());
}

} // namespace

void banner_set(const std::string& text) {
    line = text.substr(0, BANNER_CHARACTERS);
}

void banner_show_button(bool shown) {
    button_shown = shown;
}

bool banner_button_hit(int32_t x, int32_t y) {
    const ImageRecord* r = image_at(image_find("roombutton.png"));
    return button_shown && r && x >= ROOM_BUTTON_X && x < ROOM_BUTTON_X + r->width && y >= ROOM_BUTTON_Y &&
           y < ROOM_BUTTON_Y + r->height;
}

int32_t banner_draw_begin() {
    mark = sprite_count;
    if (button_shown) banner_place(image_find("roombutton.png"), ROOM_BUTTON_X, ROOM_BUTTON_Y);
    int32_t x = LINE_X;
    for (char c : line) {
        const int32_t image = glyph_image(c);
        const ImageRecord* r = image >= 0 ? image_at(image) : nullptr;
        if (!r) {
            x += SPACE_ADVANCE;
            continue;
        }
        banner_place(image, x, LINE_Y);
        x += r->width - GLYPH_OVERLAP;
    }
    return mark;
}

void banner_place(int32_t image, int32_t x, int32_t y) {
    Sprite* s = sprite_new();
    if (!s) return;
    *s = {1, 1, x, y, image, 1.0f, 0.0f};
}

void banner_draw_end() {
    if (mark >= 0) sprite_count = mark;
    mark = -1;
}
