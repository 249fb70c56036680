// The virtual network link: two ends in memory, each with an inbox of messages stamped with
// the virtual time they arrive. One thread (the test's) drives both ends, so nothing is locked.
#include "platform/clock.h"
#include "platform/net_link.h"
#include "platform/net_url.h"
#include "virtual_net.h"

#include <deque>
#include <string>
#include <vector>

namespace {

struct Arrival {
    int64_t at_ms;
    bool close; // the peer's closing handshake, always the last arrival
    std::vector<uint8_t> bytes;
};

// What one end receives: arrivals in order, and the rules of the way they come along.
struct Inbox {
    VirtualNetRules rules;
    uint32_t draw_state = 1;
    int64_t last_at_ms = 0;
    uint32_t bytes = 0;
    std::deque<Arrival> arrivals;
};

} // namespace

struct NetLink {
    bool server_end = false;
    bool accepted = false; // a server end the test has taken, and so owns
    NetLinkState state = NetLinkState::connecting;
    int64_t opens_at_ms = 0;
    bool refused = false;
    std::string authority;
    std::string error;
    NetLink* peer = nullptr;
    Inbox inbox;
    std::vector<uint8_t> taken;
};

namespace {

VirtualNetRules default_rules;
std::vector<std::string> listening;
std::deque<std::pair<int64_t, NetLink*>> requests; // server ends by the time they arrive

// A small generator of the test's own, so a rule's draws are the same on every run.
uint32_t draw(Inbox& inbox, uint32_t below) {
    inbox.draw_state = inbox.draw_state * 1664525u + 1013904223u;
    return below == 0 ? 0 : (inbox.draw_state >> 8) % below;
}

void reset_inbox(Inbox& inbox, const VirtualNetRules& rules) {
    inbox = Inbox{};
    inbox.rules = rules;
    inbox.draw_state = rules.seed;
}

int64_t arrival_time(Inbox& inbox) {
    const VirtualNetRules& r = inbox.rules;
    int64_t at = platform_clock_ms() + r.delay_ms +
                 static_cast<int64_t>(draw(inbox, static_cast<uint32_t>(r.jitter_ms + 1)));
    if (static_cast<int>(draw(inbox, 100)) < r.loss_percent) at += r.retransmit_ms;
    if (at < inbox.last_at_ms) at = inbox.last_at_ms;
    inbox.last_at_ms = at;
    return at;
}

void close_with(NetLink* link, std::string reason) {
    if (link->state == NetLinkState::closed) return;
    link->state = NetLinkState::closed;
    link->error = std::move(reason);
}

// Brings an end up to the clock: its handshake done, its peer's close arrived.
void catch_up(NetLink* link) {
    const int64_t now = platform_clock_ms();
    if (link->state == NetLinkState::connecting && now >= link->opens_at_ms) {
        if (link->refused)
            close_with(link, "cannot reach " + link->authority + ": connection refused");
        else
            link->state = NetLinkState::open;
    }
    const std::deque<Arrival>& arrivals = link->inbox.arrivals;
    if (!arrivals.empty() && arrivals.back().close && arrivals.back().at_ms <= now)
        close_with(link, link->server_end ? "the client closed the link" : "the server closed the link");
}

void forget_request(NetLink* end) {
    for (auto it = requests.begin(); it != requests.end(); ++it)
        if (it->second == end) {
            requests.erase(it);
            return;
        }
}

} // namespace

NetLink* net_link_open(const char* url) {
    NetLink* link = new NetLink;
    NetUrl parsed;
    if (const char* reason = net_url_parse(url, &parsed)) {
        close_with(link, reason);
        return link;
    }
    link->authority = net_url_authority(parsed);
    reset_inbox(link->inbox, default_rules);
    link->opens_at_ms = platform_clock_ms() + 2 * default_rules.delay_ms;
    bool found = false;
    for (const std::string& address : listening)
        found = found || address == url;
    if (!found) {
        link->refused = true;
        return link;
    }
    NetLink* server = new NetLink;
    server->server_end = true;
    server->state = NetLinkState::open;
    server->authority = link->authority;
    reset_inbox(server->inbox, default_rules);
    server->peer = link;
    link->peer = server;
    requests.emplace_back(platform_clock_ms() + default_rules.delay_ms, server);
    return link;
}

NetLinkState net_link_state(NetLink* link) {
    catch_up(link);
    return link->state;
}

const char* net_link_error(NetLink* link) {
    catch_up(link);
    return link->error.c_str();
}

bool net_link_send(NetLink* link, std::span<const uint8_t> message) {
    catch_up(link);
    if (link->state != NetLinkState::open || message.size() > NET_LINK_MESSAGE_MAX || !link->peer)
        return false;
    Inbox& to = link->peer->inbox;
    if (to.bytes + message.size() > NET_LINK_QUEUE_BYTES) return false;
    to.bytes += static_cast<uint32_t>(message.size());
    to.arrivals.push_back({arrival_time(to), false, {message.begin(), message.end()}});
    return true;
}

bool net_link_receive(NetLink* link, std::span<const uint8_t>* message) {
    catch_up(link);
    Inbox& inbox = link->inbox;
    if (inbox.arrivals.empty() || inbox.arrivals.front().close ||
        inbox.arrivals.front().at_ms > platform_clock_ms())
        return false;
    link->taken = std::move(inbox.arrivals.front().bytes);
    inbox.arrivals.pop_front();
    inbox.bytes -= static_cast<uint32_t>(link->taken.size());
    *message = link->taken;
    return true;
}

void net_link_close(NetLink* link) {
    if (NetLink* peer = link->peer) {
        peer->peer = nullptr;
        if (peer->server_end && !peer->accepted) {
            forget_request(peer); // gone before its request was answered
            delete peer;
        } else {
            peer->inbox.arrivals.push_back({arrival_time(peer->inbox), true, {}});
        }
    }
    delete link;
}

void virtual_net_set_rules(const VirtualNetRules& rules) {
    default_rules = rules;
}

VirtualNetRules& virtual_net_rules(NetLink* end) {
    // The rules of a way belong to the inbox at its far end; without a peer they go nowhere.
    static VirtualNetRules nowhere;
    return end->peer ? end->peer->inbox.rules : nowhere;
}

void virtual_net_listen(const char* url) {
    listening.emplace_back(url);
}

NetLink* virtual_net_accept() {
    if (requests.empty() || requests.front().first > platform_clock_ms()) return nullptr;
    NetLink* end = requests.front().second;
    requests.pop_front();
    end->accepted = true;
    return end;
}

void virtual_net_cut(NetLink* end) {
    const int64_t now = platform_clock_ms();
    for (NetLink* link : {end, end->peer}) {
        if (!link) continue;
        std::deque<Arrival>& arrivals = link->inbox.arrivals;
        while (!arrivals.empty() && arrivals.back().at_ms > now) {
            link->inbox.bytes -= static_cast<uint32_t>(arrivals.back().bytes.size());
            arrivals.pop_back();
        }
        close_with(link, "connection lost");
    }
    if (end->peer) end->peer->peer = nullptr;
    end->peer = nullptr;
}

void virtual_net_reset() {
    for (auto& request : requests) {
        if (request.second->peer) request.second->peer->peer = nullptr;
        delete request.second;
    }
    requests.clear();
    listening.clear();
    default_rules = VirtualNetRules{};
}
