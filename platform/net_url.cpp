#include "net_url.h"

#include <cstring>
#include <string_view>

namespace {

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

bool is_name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

bool is_ipv6_char(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
}

} // namespace

const char* net_url_parse(const char* url, NetUrl* out) {
    *out = NetUrl{};
    if (!url) return "no server address";
    const size_t length = strnlen(url, NET_URL_MAX + 1);
    if (length > NET_URL_MAX) return "the server address is too long";
    std::string_view rest(url, length);
    if (starts_with_nocase(rest, "wss://")) {
        out->tls = true;
        rest.remove_prefix(6);
    } else if (starts_with_nocase(rest, "ws://")) {
        rest.remove_prefix(5);
    } else {
        return "the server address does not start with ws:// or wss://";
    }
    for (char c : rest)
        if (c <= ' ' || c > '~') return "the server address holds a space or a character outside ASCII";

    const size_t path_at = rest.find('/');
    std::string_view authority = rest.substr(0, path_at);
    out->path = path_at == std::string_view::npos ? "/" : std::string(rest.substr(path_at));
    if (out->path.find('#') != std::string::npos) return "the server address has a fragment (#...)";
    if (authority.find('@') != std::string_view::npos) return "the server address has a user name";

    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos) return "the server address has an unclosed [";
        out->host = std::string(authority.substr(1, close - 1));
        for (char c : out->host)
            if (!is_ipv6_char(c)) return "the server address has a bad IPv6 address";
        std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return "the server address has text after ]";
            port = after.substr(1);
            if (port.empty()) return "the server address has an empty port";
        }
    } else {
        const size_t colon = authority.find(':');
        out->host = std::string(authority.substr(0, colon));
        for (char c : out->host)
            if (!is_name_char(c)) return "the server address has a bad host name";
        if (colon != std::string_view::npos) {
            port = authority.substr(colon + 1);
            if (port.empty()) return "the server address has an empty port";
        }
    }
    if (out->host.empty()) return "the server address has no host";

    if (port.empty()) {
        out->port = out->tls ? 443 : 80;
        return nullptr;
    }
    uint32_t number = 0;
    for (char c : port) {
        if (c < '0' || c > '9') return "the server address has a port that is not a number";
        number = number * 10 + static_cast<uint32_t>(c - '0');
        if (number > 65535) return "the server address has a port above 65535";
    }
    if (number == 0) return "the server address has port 0";
    out->port = static_cast<uint16_t>(number);
    return nullptr;
}

std::string net_url_authority(const NetUrl& url) {
    const bool ipv6 = url.host.find(':') != std::string::npos;
    return (ipv6 ? "[" + url.host + "]" : url.host) + ":" + std::to_string(url.port);
}
