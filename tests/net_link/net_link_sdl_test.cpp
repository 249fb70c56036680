// The Linux link against a real WebSocket server on the loopback, plain and over TLS with
// certificates made for the test: messages come back whole and in order, and every way of
// failing ends in a closed link with its reason.
#include "echo_server.h"
#include "platform/net_link.h"

#include <gtest/gtest.h>

#include <boost/asio/ip/tcp.hpp>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Servers {
    uint16_t plain, secure, stranger, nobody;
};

const Servers& servers() {
    static const Servers started = [] {
        const std::string dir = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                                "/quibbet-link-certs-" + std::to_string(getpid());
        EXPECT_EQ(std::system(("bash " NET_LINK_MAKE_CERTS " " + dir).c_str()), 0);
        setenv("SSL_CERT_FILE", (dir + "/trusted.pem").c_str(), 1);
        boost::asio::io_context io;
        boost::asio::ip::tcp::acceptor unused(io, {boost::asio::ip::make_address("127.0.0.1"), 0});
        return Servers{echo_server_start(), echo_server_start(dir + "/trusted.pem", dir + "/trusted.key"),
                       echo_server_start(dir + "/stranger.pem", dir + "/stranger.key"),
                       unused.local_endpoint().port()}; // closed again when the acceptor goes
    }();
    return started;
}

std::string url(const char* scheme, const char* host, uint16_t port, const char* path) {
    return std::string(scheme) + "://" + host + ":" + std::to_string(port) + path;
}

// Polls as the game does, with room to spare on a loaded machine.
template <class Done>
bool poll_until(Done done) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > give_up) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::vector<uint8_t> bytes_of(const std::string& text) { return {text.begin(), text.end()}; }

TEST(NetLinkSdl, EchoesWholeMessagesInOrderPlainAndOverTls) {
    std::vector<std::vector<uint8_t>> messages{{}, bytes_of("hello"), std::vector<uint8_t>(NET_LINK_MESSAGE_MAX)};
    for (size_t i = 0; i < messages.back().size(); ++i)
        messages.back()[i] = static_cast<uint8_t>(i * 31 + i / 251);
    for (const std::string& address : {url("ws", "127.0.0.1", servers().plain, "/echo"),
                                       url("wss", "127.0.0.1", servers().secure, "/echo")}) {
        NetLink* link = net_link_open(address.c_str());
        ASSERT_TRUE(poll_until([&] { return net_link_state(link) != NetLinkState::connecting; })) << address;
        ASSERT_EQ(net_link_state(link), NetLinkState::open) << address << ": " << net_link_error(link);
        for (const auto& message : messages)
            EXPECT_TRUE(net_link_send(link, message)) << address;
        EXPECT_FALSE(net_link_send(link, std::vector<uint8_t>(NET_LINK_MESSAGE_MAX + 1))) << address;
        size_t got = 0;
        EXPECT_TRUE(poll_until([&] {
            std::span<const uint8_t> message;
            while (got < messages.size() && net_link_receive(link, &message)) {
                EXPECT_TRUE(std::equal(message.begin(), message.end(), messages[got].begin(), messages[got].end()))
                    << address << ", message " << got;
                ++got;
            }
            return got == messages.size();
        })) << address;
        net_link_close(link);
    }
}

struct Failure {
    const char* what;
    std::string address;
    const char* say; // the server is told this once the link is open
    std::string reason;
};

TEST(NetLinkSdl, EveryFailureClosesTheLinkWithItsReason) {
    const Servers& s = servers();
    const std::string plain = "127.0.0.1:" + std::to_string(s.plain);
    const std::vector<Failure> failures{
        {"nobody listens", url("ws", "127.0.0.1", s.nobody, "/"), nullptr,
         "cannot reach 127.0.0.1:" + std::to_string(s.nobody) + " (Connection refused)"},
        {"a certificate nobody vouches for", url("wss", "127.0.0.1", s.stranger, "/echo"), nullptr,
         "certificate verify failed"},
        {"a certificate of another name", url("wss", "localhost", s.secure, "/echo"), nullptr,
         "TLS with localhost:" + std::to_string(s.secure) + " failed"},
        {"TLS to a plain server", url("wss", "127.0.0.1", s.plain, "/echo"), nullptr, "TLS with " + plain + " failed"},
        {"no WebSocket at that path", url("ws", "127.0.0.1", s.plain, "/elsewhere"), nullptr,
         "the server at " + plain + " refused the WebSocket upgrade (HTTP 404)"},
        {"the server closes", url("wss", "127.0.0.1", s.secure, "/echo"), "!close:the room is full",
         "the server closed the link: the room is full"},
        {"the connection drops", url("ws", "127.0.0.1", s.plain, "/echo"), "!cut",
         "the connection to " + plain + " was lost"},
        {"a text message", url("ws", "127.0.0.1", s.plain, "/echo"), "!text", "the server sent a text message"},
        {"a message too large", url("ws", "127.0.0.1", s.plain, "/echo"), "!big",
         "a message from the server is larger than"},
        {"not an address", "ws:/127.0.0.1/", nullptr, "ws://"},
    };
    for (const Failure& f : failures) {
        NetLink* link = net_link_open(f.address.c_str());
        if (f.say) {
            ASSERT_TRUE(poll_until([&] { return net_link_state(link) != NetLinkState::connecting; })) << f.what;
            EXPECT_TRUE(net_link_send(link, bytes_of(f.say))) << f.what << ": " << net_link_error(link);
        }
        ASSERT_TRUE(poll_until([&] { return net_link_state(link) == NetLinkState::closed; })) << f.what;
        EXPECT_NE(std::string(net_link_error(link)).find(f.reason), std::string::npos)
            << f.what << ": " << net_link_error(link);
        net_link_close(link);
    }
}

} // namespace
