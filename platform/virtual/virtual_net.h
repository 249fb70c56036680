// Test control of the virtual network link: a test listens at an address, takes the server end
// of each link the program opens there (and drives it through the same net_link_* calls), and
// sets what the way between them costs. Nothing moves but the virtual clock: a message is
// there once the clock has passed its arrival time.
#pragma once
#include <cstdint>

struct NetLink;

// What one direction of a link does to the messages sent along it. Order always holds, as on a
// stream: a message never arrives before one sent earlier.
struct VirtualNetRules {
    int64_t delay_ms = 0;        // one way, every message; a handshake takes two
    int64_t jitter_ms = 0;       // plus a draw of 0..jitter_ms
    int loss_percent = 0;        // chance that a message is lost once on the way ...
    int64_t retransmit_ms = 200; // ... and so, with all behind it, this much later
    uint32_t seed = 1;           // of the draws; a direction's draws repeat from a reset
};

// The rules of both directions of every link opened afterwards.
void virtual_net_set_rules(const VirtualNetRules& rules);
// The rules of the messages that end sends from now on; a test may change them mid-run.
VirtualNetRules& virtual_net_rules(NetLink* end);

// Links to url (ws://... or wss://..., compared as written) connect; to anything else they
// fail as a refused connection does.
void virtual_net_listen(const char* url);
// The server end of the oldest link whose request has arrived, or null. The test owns it and
// releases it with net_link_close.
NetLink* virtual_net_accept();
// The connection is lost at once: both ends close with "connection lost", and whatever was
// still on the way is gone.
void virtual_net_cut(NetLink* end);

// Called by virtual_platform_reset: forgets listeners, rules and the links nobody accepted.
void virtual_net_reset();
