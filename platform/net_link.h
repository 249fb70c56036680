// Network link seam: one WebSocket connection to a server, carrying whole binary messages both
// ways. What the messages mean is the caller's business; the link only moves them in order.
//
// Every call comes from the game thread, once a tick or so, and none of them waits for the
// network: connecting, sending and receiving go on in the background (a thread of the link's
// own, or the page's event loop), and what they produce waits in the link's queues until the
// next call. Nothing calls back into the game.
//
// A link goes connecting -> open -> closed, or straight to closed. Closed is final and carries
// one line saying why (not reachable, TLS refused, lost, closed by the server, ...). A peer that
// goes silent without closing leaves the link open: noticing silence is the caller's rule.
#pragma once
#include <cstdint>
#include <span>

struct NetLink;

enum class NetLinkState : uint8_t { connecting, open, closed };

// The largest message either way. A larger one from the server closes the link; a larger one
// to send is refused.
constexpr uint32_t NET_LINK_MESSAGE_MAX = 1u << 20;
// Bytes of messages a link holds for one direction (received and not yet taken, or queued and
// not yet sent). Sending beyond it is refused; receiving beyond it holds the server back.
constexpr uint32_t NET_LINK_QUEUE_BYTES = 4u << 20;
// Resolving, connecting, TLS and the WebSocket handshake together, before the link gives up.
constexpr int NET_LINK_CONNECT_TIMEOUT_MS = 5000;
// How long net_link_close waits for the server to answer the closing handshake.
constexpr int NET_LINK_CLOSE_WAIT_MS = 500;

// Called by the room session: starts connecting to url, ws://HOST[:PORT][/PATH] or
// wss://HOST[:PORT][/PATH] (HOST a name, an IPv4 address or a bracketed IPv6 address). Never
// null: an address that does not parse gives a link that is closed already, with its reason.
NetLink* net_link_open(const char* url);

// Called by the room session each tick. Also where a backend without threads of its own moves
// its queues along.
NetLinkState net_link_state(NetLink* link);

// Called by the room session: why the link is closed, as one line of plain ASCII (empty while
// it is not).
const char* net_link_error(NetLink* link);

// Called by the room session: queues one binary message (0 to NET_LINK_MESSAGE_MAX bytes) to be
// sent after those queued before it. False, and nothing queued, while the link is not open or
// when the message is too large or the queue is full.
bool net_link_send(NetLink* link, std::span<const uint8_t> message);

// Called by the room session, until it answers false: takes the oldest message received into
// message, whose bytes stay valid until the next net_link_receive or net_link_close on this
// link. Messages that arrived before the link closed are still handed out after it closed.
bool net_link_receive(NetLink* link, std::span<const uint8_t>* message);

// Called by the room session when it leaves: starts the closing handshake, waits for it at most
// NET_LINK_CLOSE_WAIT_MS (a browser finishes it on its own), and releases the link; the handle
// is gone afterwards.
void net_link_close(NetLink* link);
