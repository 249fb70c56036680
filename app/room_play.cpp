#include "app/room_play.h"

#include "app/room_banner.h"
#include "app/room_seats.h"
#include "engine/scene.h"
#include "game/rounds.h"
#include "game/settings.h"
#include "online/room_link.h"
#include "online/room_session.h"
#include "platform/clock.h"
#include "platform/net_url.h"
#include "platform/store.h"
#include "platform/window.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <string>

const char* app_room_link = nullptr;
bool app_room_controller = false;

namespace {

// Where the last server is remembered, for the menu's way to open a room.
constexpr const char* SERVER_FILE = "room-server";
// How long a failure stays on the line.
constexpr int64_t FAILURE_SHOWN_MS = 10'000;
// Set to a number of seconds, it asks for the room's figures on standard output that often.
constexpr const char* FIGURES_VARIABLE = "QUIBBET_ROOM_FIGURES";

RoomSession session;
RoomLink link;
bool active = false;
bool told_seated = false;
int64_t failure_until_ms = 0;
int64_t figures_due_ms = 0;

std::string code_text(const wire::RoomCode& code) {
    return std::string(code.begin(), code.end());
}

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
    banner_set("ONLINE: " + why);
    failure_until_ms = platform_clock_ms() + FAILURE_SHOWN_MS;
}

// A controller's line goes on its page too, over the buttons once it has a seat.
void controller_line(int32_t seat, const std::string& line) {
    banner_set(line);
    platform_controller_screen(seat, line.c_str());
}

void start(const char* text, bool controller) {
    if (const char* why = room_link_parse(text, &link)) {
        say_failure(std::string(why) + ": " + text);
        return;
    }
    if (controller && !link.has_code) {
        say_failure(std::string("a controller joins a room: its link needs the room's code: ") + text);
        return;
    }
    if (!active) settings_hold(); // the room's menu is everyone's, not this player's to keep
    RoomRequest request;
    request.url = link.server;
    request.open = !link.has_code;
    request.code = link.code;
    request.token = link.has_code ? saved_token(link.code) : 0;
    request.controller = controller;
    room_session_start(session, request);
    active = true;
    told_seated = false;
    failure_until_ms = 0;
    if (controller)
        return controller_line(-1, "JOINING ROOM " + code_text(link.code) + " AT " + link.authority +
                                       " AS A CONTROLLER ...");
    banner_set(link.has_code ? "JOINING ROOM " + code_text(link.code) + " AT " + link.authority + " ..."
                             : "OPENING A ROOM AT " + link.authority + " ...");
}

// The button beside the sound panel: a room on the server this machine last played on.
void open_room() {
    char text[NET_URL_MAX + 1] = {};
    size_t size = 0;
    const StoreResult r = platform_store_read(STORE_CONFIG, SERVER_FILE, {text, sizeof text - 1}, &size);
    if (r.status != STORE_OK) {
        say_failure("no server known yet; start the game with a link, quibbet quibbet://HOST:PORT/");
        return;
    }
    start(text, false);
}

void seated() {
    told_seated = true;
    char token[32];
    std::snprintf(token, sizeof token, "%016llx", static_cast<unsigned long long>(session.token));
    store_text(token_file(session.code), token);
    store_text(SERVER_FILE, link.tls ? "quibbets://" + link.authority + "/" : "quibbet://" + link.authority + "/");
    if (session.request.controller) {
        const int32_t seat = session.seat_mask ? std::countr_zero(session.seat_mask) : -1;
        return controller_line(seat, seat >= 0 ? "YOU STEER PLAYER " + std::to_string(seat + 1) + " IN ROOM " +
                                                     code_text(session.code)
                                               : "ROOM " + code_text(session.code) +
                                                     " IS FULL: THIS CONTROLLER HAS NO PLAYER TO STEER");
    }
    banner_set("ROOM " + code_text(session.code) + ": " + room_link_browser(link, session.code) + " OR " +
               room_link_game(link, session.code));
    if (!session.request.open) return;
    std::printf("quibbet: room %s is open; join it with %s or in a browser at %s\n",
                std::string(session.code.begin(), session.code.end()).c_str(),
                room_link_game(link, session.code).c_str(), room_link_browser(link, session.code).c_str());
    std::fflush(stdout);
}

bool in_gameplay() {
    return current_scene >= 0 && std::string(scene_table[current_scene].name) == "gameplay";
}

void print_figures() {
    std::printf("quibbet: %s\n", room_figures_line(session.counts).c_str());
    std::fflush(stdout);
}

// Every so many seconds while the variable asks; never when it is unset or not a count.
void figures_when_due() {
    static const int64_t every_ms = [] {
        const char* text = std::getenv(FIGURES_VARIABLE);
        const long seconds = text ? std::strtol(text, nullptr, 10) : 0;
        return seconds > 0 && seconds <= 3600 ? seconds * 1000 : 0;
    }();
    if (!every_ms) return;
    const int64_t now = platform_clock_ms();
    if (now < figures_due_ms) return;
    if (figures_due_ms) print_figures();
    figures_due_ms = now + every_ms;
}

bool menu_shown() {
    return in_gameplay() && game_state == STATE_MENU;
}

} // namespace

void room_play_start() {
    if (app_room_link) start(app_room_link, app_room_controller);
}

bool room_play_click(int32_t x, int32_t y) {
    if (!banner_button_hit(x, y)) return false;
    open_room();
    return true;
}

void room_play_draw() {
    if (active && !session.request.controller && in_gameplay()) seats_draw(session);
}

void room_play_pressed() {
    if (active) room_session_pressed(session);
}

void room_play_drawn() {
    if (active) room_session_drawn(session);
}

bool room_play_active() {
    return active;
}

bool room_play_controller() {
    return active && session.request.controller;
}

bool room_play_tick() {
    const bool ran = active;
    if (active) {
        room_session_tick(session);
        if (session.phase == RoomPhase::in_room && !told_seated) seated();
        figures_when_due();
        if (session.phase == RoomPhase::failed) {
            if (session.request.controller) platform_controller_screen(-1, nullptr);
            active = false;
            print_figures();
            say_failure(session.failure);
            settings_restore();
            game_return(static_cast<uint32_t>(platform_clock_ms()));
        }
    }
    if (failure_until_ms && platform_clock_ms() > failure_until_ms) {
        failure_until_ms = 0;
        banner_set("");
    }
    banner_show_button(!active && menu_shown());
    return ran;
}
