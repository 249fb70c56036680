#include "game/key_names.h"

const KeyName* key_name_find(int32_t kind, int32_t code) {
    for (const KeyName& k : KEY_NAMES)
        if (k.kind == kind && k.code == code) return &k;
    return nullptr;
}

const KeyName* key_name_of_word(std::string_view word) {
    for (const KeyName& k : KEY_NAMES)
        if (k.word == word) return &k;
    return nullptr;
}
