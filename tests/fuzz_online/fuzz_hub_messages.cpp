// Arbitrary bytes as a conversation of three machines with the hub: each message is one byte of
// who (and how many ticks pass first) and one of length, then its bytes. The hub must never
// crash, send a message the wire cannot decode, or send one after it closed the connection.
#include "server/hub.h"

#include <cstdlib>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Hub hub;
    uint64_t lcg = 7;
    std::set<ConnId> closed;
    hub.random = [&] { return lcg = lcg * 6364136223846793005ull + 1442695040888963407ull; };
    hub.out.send = [&](ConnId id, const Bytes& bytes) {
        wire::Message m;
        if (closed.count(id) || bytes->size() > wire::MAX_SERVER_MESSAGE || wire::decode(*bytes, m)) std::abort();
    };
    hub.out.close = [&](ConnId id) { closed.insert(id); };
    hub.out.log = [](const std::string&) {};
    int64_t now = 0;
    ConnId machines[3];
    for (ConnId& id : machines) {
        hub_admit(hub, "127.0.0.1");
        id = hub_connect(hub, "127.0.0.1", now);
    }
    for (size_t at = 0; at + 2 <= size;) {
        const uint8_t who = data[at];
        const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
        now += (who >> 2) * wire::TICK_MS;
        hub_tick(hub, now);
        hub_message(hub, machines[(who & 3) % 3], {data + at + 2, length}, now);
        at += 2 + length;
    }
    now += 3 * wire::SEAT_SILENCE_MS;
    hub_tick(hub, now);
    return 0;
}
