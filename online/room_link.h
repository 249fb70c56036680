// Room links as people pass them on: quibbet://HOST:PORT/CODE opens the installed game in that
// room (quibbets:// when the server speaks TLS), and quibbet://HOST:PORT/ opens a new room there.
// The link comes from outside (a command line, a click in a chat), so it is checked whole here
// before anything connects. The server's rooms are at /ws on the same HOST:PORT.
#pragma once
#include "online/wire.h"

#include <string>

struct RoomLink {
    std::string server;     // ws://HOST:PORT/ws or wss://...
    std::string authority;  // HOST:PORT as written
    bool tls = false;
    bool has_code = false;  // false: open a new room
    wire::RoomCode code{};  // upper case
};

// Null when the link holds, else why not, in one line.
const char* room_link_parse(const char* link, RoomLink* out);

// The links to share for a room: the installed game's and the browser's.
std::string room_link_game(const RoomLink& server, const wire::RoomCode& code);
std::string room_link_browser(const RoomLink& server, const wire::RoomCode& code);
