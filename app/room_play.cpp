#include "app/room_play.h"

#include "game/rounds.h"
#include "online/room_link.h"
#include "online/room_session.h"
#include "platform/clock.h"
#include "platform/store.h"

#include <cstdio>
#include <cstdlib>
#include <string>

const char* app_room_link = nullptr;

namespace {

// Where the last server is remembered, for the menu's way to open a room.
constexpr const char* SERVER_FILE = "room-server";

RoomSession session;
RoomLink link;
bool active = false;
bool told_seated = false;

std::string token_file(const wire::RoomCode& code) {
    return "room-token-" + std::string(code.begin(), code.end());
}

uint64_t saved_token(const wire::RoomCode& code) {
    char text[32] = {};
    size_t size = 0;
    const StoreResult r = platform_store_read(STORE_CONFIG, token_file(code).c_str(), {text, sizeof text - 1}, &size);
    return r.status == STORE_OK ? std::strtoull(text, nullptr, 16) : 0;
}

void store_text(const std::string& name, const std::string& text) {
    const StoreResult r = platform_store_write(STORE_CONFIG, name.c_str(), {text.data(), text.size()});
    if (r.status != STORE_OK) std::fprintf(stderr, "quibbet: %s\n", r.message);
}

void say_failure(const std::string& why) {
    std::fprintf(stderr, "quibbet: %s\n", why.c_str());
}

void seated() {
    told_seated = true;
    char token[32];
    std::snprintf(token, sizeof token, "%016llx", static_cast<unsigned long long>(session.token));
    store_text(token_file(session.code), token);
    store_text(SERVER_FILE, link.tls ? "quibbets://" + link.authority + "/" : "quibbet://" + link.authority + "/");
    if (!session.request.open) return;
    std::printf("quibbet: room %s is open; join it with %s or in a browser at %s\n",
                std::string(session.code.begin(), session.code.end()).c_str(),
                room_link_game(link, session.code).c_str(), room_link_browser(link, session.code).c_str());
    std::fflush(stdout);
}

} // namespace

void room_play_start() {
    if (!app_room_link) return;
    if (const char* why = room_link_parse(app_room_link, &link)) {
        say_failure(std::string(why) + ": " + app_room_link);
        return;
    }
    RoomRequest request;
    request.url = link.server;
    request.open = !link.has_code;
    request.code = link.code;
    request.token = link.has_code ? saved_token(link.code) : 0;
    room_session_start(session, request);
    active = true;
    told_seated = false;
}

bool room_play_tick() {
    if (!active) return false;
    room_session_tick(session);
    if (session.phase == RoomPhase::in_room && !told_seated) seated();
    if (session.phase == RoomPhase::failed) {
        say_failure(session.failure);
        active = false;
        game_reset(static_cast<uint32_t>(platform_clock_ms()));
    }
    return true;
}
