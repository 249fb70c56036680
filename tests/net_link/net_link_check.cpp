// The link of the builds that cannot run the Linux test (the exe under wine, the page's code in
// node) against the echo server programs that the calling script started: the same echoes and
// failures as the Linux test, checked as far as each system reports them. Every reason is
// printed, so the log shows what a player would read. Exit status 0 when every check holds.
// Usage: net_link_check PLAIN_PORT TLS_PORT STRANGER_PORT NOBODY_PORT TRUSTED_PEM
#include "net_link_check.h"
#include "platform/clock.h"
#include "platform/net_link.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int failures = 0;

void check(bool holds, const std::string& what) {
    std::printf("%s: %s\n", holds ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!holds) ++failures;
}

template <class Done>
bool poll_until(Done done) {
    const int64_t give_up = platform_clock_ms() + 20'000;
    while (!done()) {
        if (platform_clock_ms() > give_up) return false;
        check_wait_ms(1);
    }
    return true;
}

std::string url(const char* scheme, const char* port, const char* path) {
    return std::string(scheme) + "://127.0.0.1:" + port + path;
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
    bool sent = true;
    for (const auto& message : messages)
        sent = net_link_send(link, message) && sent;
    check(sent, address + " takes messages of 0, 2 and the most bytes");
    size_t got = 0;
    bool same = true;
    poll_until([&] {
        std::span<const uint8_t> message;
        while (got < messages.size() && net_link_receive(link, &message)) {
            same = same && std::vector<uint8_t>(message.begin(), message.end()) == messages[got];
            ++got;
        }
        return got == messages.size() || net_link_state(link) == NetLinkState::closed;
    });
    check(got == messages.size() && same, address + " echoes them whole and in order");
    net_link_close(link);
}

// reason: what the closed link must say, or null when the system may word it as it likes.
void check_failure(const std::string& address, const char* say, const char* reason) {
    NetLink* link = open_link(address);
    if (say) net_link_send(link, {reinterpret_cast<const uint8_t*>(say), std::string(say).size()});
    poll_until([&] { return net_link_state(link) == NetLinkState::closed; });
    const std::string said = net_link_error(link);
    check(net_link_state(link) == NetLinkState::closed && !said.empty() &&
              (!reason || said.find(reason) != std::string::npos),
          address + (say ? std::string(" told ") + say : std::string()) + " closes: " + said);
    net_link_close(link);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: net_link_check PLAIN_PORT TLS_PORT STRANGER_PORT NOBODY_PORT TRUSTED_PEM\n");
        return 2;
    }
    check(check_trust(argv[5]), std::string("the test's certificate is trusted: ") + argv[5]);
    const char *plain = argv[1], *secure = argv[2], *stranger = argv[3], *nobody = argv[4];
    check_echo(url("ws", plain, "/echo"));
    check_echo(url("wss", secure, "/echo"));
    check_failure(url("ws", nobody, "/"), nullptr, "cannot reach");
    check_failure(url("wss", stranger, "/echo"), nullptr, nullptr);
    check_failure(url("ws", plain, "/elsewhere"), nullptr, nullptr);
    check_failure(url("wss", secure, "/echo"), "!close:the room is full", "the server closed the link: the room is full");
    check_failure(url("ws", plain, "/echo"), "!cut", "was lost");
    check_failure(url("ws", plain, "/echo"), "!text", "the server sent a text message");
    check_failure(url("ws", plain, "/echo"), "!big", "larger than");
    std::printf("%s\n", failures ? "some checks FAILED" : "every check holds");
    return failures ? 1 : 0;
}
