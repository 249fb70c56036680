// The virtual link that session tests drive: what delay, jitter and loss do to a stream of
// messages, and how connecting, closing and a cut look from both ends.
#include "platform/net_link.h"
#include "platform/virtual/virtual_net.h"
#include "platform/virtual/virtual_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* SERVER = "ws://127.0.0.1:7420/";

struct Link {
    NetLink* client;
    NetLink* server;
};

// Listens, opens a link and runs the clock through its handshake.
Link connect_pair() {
    virtual_net_listen(SERVER);
    NetLink* client = net_link_open(SERVER);
    NetLink* server = nullptr;
    for (int ms = 0; ms < 10'000 && (!server || net_link_state(client) == NetLinkState::connecting); ++ms) {
        if (!server) server = virtual_net_accept();
        virtual_clock_advance(1);
    }
    return {client, server};
}

bool send_text(NetLink* link, const std::string& text) {
    return net_link_send(link, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

std::vector<std::string> receive_all(NetLink* link) {
    std::vector<std::string> got;
    std::span<const uint8_t> message;
    while (net_link_receive(link, &message))
        got.emplace_back(message.begin(), message.end());
    return got;
}

struct Way {
    const char* what;
    VirtualNetRules rules;
    int64_t least_ms, most_ms; // bounds of each message's time on the way
    int late_least, late_most; // how many of the messages take a retransmit or more
};

constexpr int MESSAGES = 40;
constexpr int SEND_EVERY_MS = 25;

const Way WAYS[] = {
    {"no cost", {}, 0, 0, 0, 0},
    {"a fixed delay", {.delay_ms = 40}, 40, 40, 0, 0},
    {"delay and jitter", {.delay_ms = 40, .jitter_ms = 30}, 40, 70, 0, 0},
    {"every message lost once", {.delay_ms = 40, .loss_percent = 100}, 240, 240, MESSAGES, MESSAGES},
    {"some lost, the rest held behind", {.delay_ms = 10, .loss_percent = 20, .seed = 7}, 10, 210, 2, 30},
};

TEST(VirtualNetLink, DelayJitterAndLossKeepTheStreamInOrder) {
    for (const Way& way : WAYS) {
        virtual_platform_reset();
        virtual_net_set_rules(way.rules);
        Link link = connect_pair();
        ASSERT_EQ(net_link_state(link.client), NetLinkState::open) << way.what;
        std::vector<int64_t> sent, arrived;
        for (int ms = 0; ms < MESSAGES * SEND_EVERY_MS + 1000; ++ms) {
            if (ms % SEND_EVERY_MS == 0 && sent.size() < MESSAGES) {
                ASSERT_TRUE(send_text(link.client, std::to_string(sent.size()))) << way.what;
                sent.push_back(virtual_clock_now());
            }
            for (const std::string& text : receive_all(link.server)) {
                ASSERT_EQ(text, std::to_string(arrived.size())) << way.what << ": out of order";
                arrived.push_back(virtual_clock_now());
            }
            virtual_clock_advance(1);
        }
        ASSERT_EQ(arrived.size(), sent.size()) << way.what;
        int late = 0;
        for (size_t i = 0; i < sent.size(); ++i) {
            const int64_t way_ms = arrived[i] - sent[i];
            EXPECT_GE(way_ms, way.least_ms) << way.what << ", message " << i;
            EXPECT_LE(way_ms, way.most_ms) << way.what << ", message " << i;
            late += way_ms >= way.rules.retransmit_ms;
        }
        EXPECT_GE(late, way.late_least) << way.what;
        EXPECT_LE(late, way.late_most) << way.what;
        net_link_close(link.client);
        net_link_close(link.server);
    }
}

TEST(VirtualNetLink, ConnectsInARoundTripOrIsRefused) {
    virtual_platform_reset();
    virtual_net_set_rules({.delay_ms = 30});
    virtual_net_listen(SERVER);
    NetLink* client = net_link_open(SERVER);
    NetLink* stranger = net_link_open("ws://127.0.0.1:7421/");
    EXPECT_FALSE(send_text(client, "too early"));
    virtual_clock_advance(29);
    EXPECT_EQ(virtual_net_accept(), nullptr);
    virtual_clock_advance(1);
    NetLink* server = virtual_net_accept();
    ASSERT_NE(server, nullptr);
    EXPECT_TRUE(send_text(server, "hello"));
    virtual_clock_advance(29);
    EXPECT_EQ(net_link_state(client), NetLinkState::connecting);
    virtual_clock_advance(1);
    EXPECT_EQ(net_link_state(client), NetLinkState::open);
    EXPECT_EQ(receive_all(client), std::vector<std::string>{"hello"});
    EXPECT_STREQ(net_link_error(stranger), "cannot reach 127.0.0.1:7421: connection refused");
    for (NetLink* link : {client, server, stranger})
        net_link_close(link);
}

// A close arrives after what was sent before it; a cut loses what was still on the way.
TEST(VirtualNetLink, ClosesAndCutsKeepWhatArrived) {
    for (bool cut : {false, true}) {
        virtual_platform_reset();
        virtual_net_set_rules({.delay_ms = 20});
        Link link = connect_pair();
        EXPECT_TRUE(send_text(link.server, "arrived"));
        virtual_clock_advance(20);
        EXPECT_TRUE(send_text(link.server, cut ? "on the way" : "last words"));
        if (cut)
            virtual_net_cut(link.server);
        else
            net_link_close(link.server);
        virtual_clock_advance(20);
        EXPECT_EQ(net_link_state(link.client), NetLinkState::closed);
        EXPECT_STREQ(net_link_error(link.client), cut ? "connection lost" : "the server closed the link");
        EXPECT_FALSE(send_text(link.client, "too late"));
        const std::vector<std::string> kept{"arrived", "last words"};
        EXPECT_EQ(receive_all(link.client), std::vector<std::string>(kept.begin(), kept.end() - cut));
        net_link_close(link.client);
        if (cut) net_link_close(link.server);
    }
}

} // namespace
