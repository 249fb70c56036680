#include "server/room_code.h"

#include <cctype>

static_assert(ROOM_CODE_ALPHABET.size() == 30);

std::string room_code_new(const std::function<uint64_t()>& random) {
    std::string code;
    for (int i = 0; i < wire::ROOM_CODE_LENGTH; ++i)
        code += ROOM_CODE_ALPHABET[random() % ROOM_CODE_ALPHABET.size()]; // 2^64 % 30: no bias worth a name
    return code;
}

std::string room_code_normalized(const wire::RoomCode& code) {
    std::string text;
    for (char c : code) text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}
