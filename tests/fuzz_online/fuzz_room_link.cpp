// Arbitrary text as a room link: it is taken apart or refused with a reason, and a link that holds
// gives back links that hold the same server and code.
#include "online/room_link.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    RoomLink link;
    if (room_link_parse(text.c_str(), &link)) return 0;
    if (!link.has_code) return 0;
    RoomLink again;
    if (room_link_parse(room_link_game(link, link.code).c_str(), &again) || again.server != link.server ||
        again.code != link.code)
        std::abort();
    return 0;
}
