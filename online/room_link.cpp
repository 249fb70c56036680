#include "online/room_link.h"

#include "platform/net_url.h"

#include <cstring>
#include <string_view>

namespace {

bool take_prefix(std::string_view& text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != prefix[i]) return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

std::string code_text(const wire::RoomCode& code) {
    return std::string(code.begin(), code.end());
}

} // namespace

const char* room_link_parse(const char* link, RoomLink* out) {
    *out = RoomLink{};
    if (!link) return "no room link";
    std::string_view rest(link, strnlen(link, NET_URL_MAX + 1));
    if (rest.size() > NET_URL_MAX) return "the room link is too long";
    if (take_prefix(rest, "quibbets://"))
        out->tls = true;
    else if (!take_prefix(rest, "quibbet://"))
        return "a room link starts with quibbet:// or quibbets://";
    const size_t slash = rest.find('/');
    out->authority = std::string(rest.substr(0, slash));
    std::string_view code = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    if (!code.empty() && code.back() == '/') code.remove_suffix(1);
    if (!code.empty()) {
        if (code.size() != out->code.size()) return "a room code has 6 letters";
        for (size_t i = 0; i < code.size(); ++i) {
            char c = code[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return "a room code has 6 letters";
            out->code[i] = c;
        }
        out->has_code = true;
    }
    out->server = (out->tls ? "wss://" : "ws://") + out->authority + "/ws";
    NetUrl url;
    if (const char* why = net_url_parse(out->server.c_str(), &url)) return why;
    return nullptr;
}

std::string room_link_game(const RoomLink& server, const wire::RoomCode& code) {
    return (server.tls ? "quibbets://" : "quibbet://") + server.authority + "/" + code_text(code);
}

std::string room_link_browser(const RoomLink& server, const wire::RoomCode& code) {
    return (server.tls ? "https://" : "http://") + server.authority + "/#" + code_text(code);
}
