// The browser's network link: the page's WebSocket through emscripten's websocket API. Its
// events arrive on the page's one thread between two calls of the game, so the queues need no
// lock. A browser tells a page nothing of why a connection failed (for its users' safety), so
// not reachable, TLS refused and no WebSocket there all read "cannot reach".
#include "platform/net_link.h"
#include "platform/net_url.h"

#include <emscripten/em_js.h>
#include <emscripten/websocket.h>

#include <deque>
#include <string>
#include <vector>

struct NetLink {
    std::string authority;
    EMSCRIPTEN_WEBSOCKET_T socket = 0;
    NetLinkState state = NetLinkState::connecting;
    std::string error;
    std::deque<std::vector<uint8_t>> inbox;
    size_t inbox_bytes = 0;
    std::vector<uint8_t> taken;
};

namespace {

// A page loaded over https may not open ws:// at all; the browser would refuse it with an
// exception instead of an event.
// The JavaScript inside is not C++.
// clang-format off
EM_JS(int, page_is_secure, (), {
    return (typeof location !== 'undefined' && location.protocol === 'https:') ? 1 : 0;
});
// clang-format on

// A page may close only with the normal code or the applications' own (4000 and up); any other
// makes the browser throw.
constexpr unsigned short CLOSE_NORMAL = 1000;

void fail(NetLink* link, std::string reason) {
    if (link->state == NetLinkState::closed) return;
    link->state = NetLinkState::closed;
    link->error = std::move(reason);
    emscripten_websocket_close(link->socket, CLOSE_NORMAL, nullptr);
}

EM_BOOL on_open(int, const EmscriptenWebSocketOpenEvent*, void* user) {
    NetLink* link = static_cast<NetLink*>(user);
    if (link->state == NetLinkState::connecting) link->state = NetLinkState::open;
    return EM_TRUE;
}

EM_BOOL on_message(int, const EmscriptenWebSocketMessageEvent* event, void* user) {
    NetLink* link = static_cast<NetLink*>(user);
    if (link->state != NetLinkState::open) return EM_TRUE;
    if (event->isText) {
        fail(link, "the server sent a text message");
    } else if (event->numBytes > NET_LINK_MESSAGE_MAX) {
        fail(link,
             "a message from the server is larger than " + std::to_string(NET_LINK_MESSAGE_MAX) + " bytes");
    } else if (link->inbox_bytes + event->numBytes > NET_LINK_QUEUE_BYTES) {
        // A page cannot hold the server back, so a game that stopped taking messages is told.
        fail(link, "messages from the server piled up unread");
    } else {
        link->inbox.emplace_back(event->data, event->data + event->numBytes);
        link->inbox_bytes += event->numBytes;
    }
    return EM_TRUE;
}

// Browsers follow a failure with a close event, but not every WebSocket of a page's host does:
// the failure itself is enough to say what happened.
EM_BOOL on_error(int, const EmscriptenWebSocketErrorEvent*, void* user) {
    NetLink* link = static_cast<NetLink*>(user);
    fail(link, link->state == NetLinkState::connecting
                   ? "cannot reach " + link->authority
                   : "the connection to " + link->authority + " was lost");
    return EM_TRUE;
}

EM_BOOL on_close(int, const EmscriptenWebSocketCloseEvent* event, void* user) {
    NetLink* link = static_cast<NetLink*>(user);
    if (link->state == NetLinkState::connecting) {
        fail(link, "cannot reach " + link->authority);
    } else if (!event->wasClean) {
        fail(link, "the connection to " + link->authority + " was lost");
    } else {
        const std::string said(event->reason);
        fail(link, said.empty() ? "the server closed the link" : "the server closed the link: " + said);
    }
    return EM_TRUE;
}

} // namespace

NetLink* net_link_open(const char* url) {
    NetLink* link = new NetLink;
    NetUrl parsed;
    const char* reason = net_url_parse(url, &parsed);
    if (!reason && !parsed.tls && page_is_secure()) reason = "a page loaded over https needs a wss:// server";
    if (reason) {
        link->state = NetLinkState::closed;
        link->error = reason;
        return link;
    }
    link->authority = net_url_authority(parsed);
    EmscriptenWebSocketCreateAttributes attributes;
    emscripten_websocket_init_create_attributes(&attributes);
    attributes.url = url;
    attributes.createOnMainThread = EM_TRUE;
    link->socket = emscripten_websocket_new(&attributes);
    if (link->socket <= 0) {
        link->state = NetLinkState::closed;
        link->error = "this browser has no WebSocket";
        return link;
    }
    emscripten_websocket_set_onopen_callback(link->socket, link, on_open);
    emscripten_websocket_set_onmessage_callback(link->socket, link, on_message);
    emscripten_websocket_set_onerror_callback(link->socket, link, on_error);
    emscripten_websocket_set_onclose_callback(link->socket, link, on_close);
    return link;
}

NetLinkState net_link_state(NetLink* link) {
    return link->state;
}

const char* net_link_error(NetLink* link) {
    return link->error.c_str();
}

bool net_link_send(NetLink* link, std::span<const uint8_t> message) {
    if (link->state != NetLinkState::open || message.size() > NET_LINK_MESSAGE_MAX) return false;
    unsigned long long queued = 0;
    emscripten_websocket_get_buffered_amount(link->socket, &queued);
    if (queued + message.size() > NET_LINK_QUEUE_BYTES) return false;
    // The browser copies the bytes before the call returns.
    return emscripten_websocket_send_binary(link->socket, const_cast<uint8_t*>(message.data()),
                                            static_cast<uint32_t>(message.size())) ==
           EMSCRIPTEN_RESULT_SUCCESS;
}

bool net_link_receive(NetLink* link, std::span<const uint8_t>* message) {
    if (link->inbox.empty()) return false;
    link->taken = std::move(link->inbox.front());
    link->inbox.pop_front();
    link->inbox_bytes -= link->taken.size();
    *message = link->taken;
    return true;
}

// The browser finishes the closing handshake on its own; the link's events are cut off first,
// so none arrives for a link that is gone.
void net_link_close(NetLink* link) {
    if (link->socket > 0) {
        emscripten_websocket_close(link->socket, CLOSE_NORMAL, nullptr);
        emscripten_websocket_delete(link->socket);
    }
    delete link;
}
