// A WebSocket server address taken apart, the same way for every network link backend: the
// address comes from the command line or a shared link, so it is checked before any backend
// sees it.
#pragma once
#include <cstdint>
#include <string>

// Longer addresses are refused outright.
constexpr size_t NET_URL_MAX = 2048;

struct NetUrl {
    bool tls = false;  // wss://
    std::string host;  // a name or an address; an IPv6 address without its brackets
    uint16_t port = 0; // 80 or 443 when the address names none
    std::string path;  // from the first '/', with any query; "/" when the address has none
};

// Called by every backend's net_link_open: takes url apart into out. Null when it holds,
// otherwise the reason in one line.
const char* net_url_parse(const char* url, NetUrl* out);

// HOST:PORT as messages show it (an IPv6 host in brackets), also the HTTP Host header's value.
std::string net_url_authority(const NetUrl& url);
