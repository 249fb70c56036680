// The link of each build (Linux natively, the page's code in node, the exe under wine) against
// the echo servers that link_check.sh started: messages come back whole and in order, plain
// and over TLS, and every way of failing ends in a closed link with its reason. Each result is
// printed, so the log shows what a player would read. Exit status 0 when every check holds.
// Usage: net_link_check PLAIN_PORT TLS_PORT STRANGER_PORT NOBODY_PORT TRUSTED_PEM
#include "net_link_check.h"
#include "platform/net_link.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int failures = 0;

void check(bool holds, const std::string& what) {
    std::printf("%s: %s\n", holds ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!holds) ++failures;
}

// Polls as the game does, with room to spare on a loaded machine.
template <class Done>
void poll_until(Done done) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done() && std::chrono::steady_clock::now() < give_up)
        check_wait_ms(1);
}

NetLink* open_link(const std::string& address) {
    NetLink* link = net_link_open(address.c_str());
    poll_until([&] { return net_link_state(link) != NetLinkState::connecting; });
    return link;
}

void check_echo(const std::string& address) {
    NetLink* link = open_link(address);
    check(net_link_state(link) == NetLinkState::open, address + " opens " + net_link_error(link));
    std::vector<std::vector<uint8_t>> messages{{}, {'h', 'i'}, std::vector<uint8_t>(NET_LINK_MESSAGE_MAX)};
    for (size_t i = 0; i < messages.back().size(); ++i)
        messages.back()[i] = static_cast<uint8_t>(i * 31 + i / 251);
    bool sent = !net_link_send(link, std::vector<uint8_t>(NET_LINK_MESSAGE_MAX + 1));
    for (const auto& message : messages)
        sent = net_link_send(link, message) && sent;
    check(sent, address + " takes messages of 0, 2 and the most bytes, and refuses one more");
    size_t got = 0;
    bool same = true;
    poll_until([&] {
        std::span<const uint8_t> message;
        for (; got < messages.size() && net_link_receive(link, &message); ++got)
            same = same && std::vector<uint8_t>(message.begin(), message.end()) == messages[got];
        return got == messages.size() || net_link_state(link) == NetLinkState::closed;
    });
    check(got == messages.size() && same, address + " echoes them whole and in order");
    net_link_close(link);
}

struct Failure {
    const char* scheme;
    int server; // which of the ports given
    const char* host;
    const char* path;
    const char* say;    // told to the server once the link is open
    const char* reason; // part of what the link must say; null where systems word it their own way
};

const Failure FAILURES[] = {
    {"ws", 3, "127.0.0.1", "/", nullptr, "cannot reach"},
    {"wss", 2, "127.0.0.1", "/echo", nullptr, nullptr},     // a certificate nobody vouches for
    {"wss", 1, "localhost", "/echo", nullptr, nullptr},     // a certificate of another name
    {"wss", 0, "127.0.0.1", "/echo", nullptr, nullptr},     // TLS to a plain server
    {"ws", 0, "127.0.0.1", "/elsewhere", nullptr, nullptr}, // no WebSocket there
    {"wss", 1, "127.0.0.1", "/echo", "!close:the room is full",
     "the server closed the link: the room is full"},
    {"ws", 0, "127.0.0.1", "/echo", "!cut", "was lost"},
    {"ws", 0, "127.0.0.1", "/echo", "!text", "the server sent a text message"},
    {"ws", 0, "127.0.0.1", "/echo", "!big", "larger than"},
    {"ws:", 0, "127.0.0.1", "/", nullptr, "ws://"},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: net_link_check PLAIN_PORT TLS_PORT STRANGER_PORT NOBODY_PORT TRUSTED_PEM\n");
        return 2;
    }
    check(check_trust(argv[5]), std::string("the test's certificate is trusted: ") + argv[5]);
    const auto address = [&](const char* scheme, int server, const char* host, const char* path) {
        return std::string(scheme) + "://" + host + ":" + argv[1 + server] + path;
    };
    check_echo(address("ws", 0, "127.0.0.1", "/echo"));
    check_echo(address("wss", 1, "127.0.0.1", "/echo"));
    for (const Failure& f : FAILURES) {
        const std::string url = address(f.scheme, f.server, f.host, f.path);
        NetLink* link = open_link(url);
        if (f.say) net_link_send(link, {reinterpret_cast<const uint8_t*>(f.say), std::string(f.say).size()});
        poll_until([&] { return net_link_state(link) == NetLinkState::closed; });
        const std::string said = net_link_error(link);
        check(net_link_state(link) == NetLinkState::closed && !said.empty() &&
                  (!f.reason || said.find(f.reason) != std::string::npos),
              url + (f.say ? std::string(" told ") + f.say : "") + " closes: " + said);
        net_link_close(link);
    }
    std::printf("%s\n", failures ? "some checks FAILED" : "every check holds");
    return failures ? 1 : 0;
}
