// Server addresses as a shared link or the command line gives them: what is taken apart, and
// what is refused before any backend tries it.
#include "platform/net_url.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Address {
    const char* url;
    const char* refused; // part of the reason, or null when it parses
    bool tls;
    const char* host;
    uint16_t port;
    const char* path;
};

const Address ADDRESSES[] = {
    {"ws://127.0.0.1:7420/room", nullptr, false, "127.0.0.1", 7420, "/room"},
    {"WSS://play.example:8443", nullptr, true, "play.example", 8443, "/"},
    {"wss://play.example/a/b?x=1", nullptr, true, "play.example", 443, "/a/b?x=1"},
    {"ws://localhost", nullptr, false, "localhost", 80, "/"},
    {"ws://[::1]:9000/r", nullptr, false, "::1", 9000, "/r"},
    {"ws://[::1]/", nullptr, false, "::1", 80, "/"},
    {"http://127.0.0.1/", "ws://", false, "", 0, ""},
    {"ws://", "no host", false, "", 0, ""},
    {"ws://:80/", "no host", false, "", 0, ""},
    {"ws://host:/", "empty port", false, "", 0, ""},
    {"ws://host:0/", "port 0", false, "", 0, ""},
    {"ws://host:65536/", "above 65535", false, "", 0, ""},
    {"ws://host:99999999999999999999/", "above 65535", false, "", 0, ""},
    {"ws://host:8o/", "not a number", false, "", 0, ""},
    {"ws://[::1/", "unclosed [", false, "", 0, ""},
    {"ws://[::1]x/", "after ]", false, "", 0, ""},
    {"ws://[zz::1]/", "IPv6", false, "", 0, ""},
    {"ws://user@host/", "user name", false, "", 0, ""},
    {"ws://ho st/", "space", false, "", 0, ""},
    {"ws://h\xc3\xb6st/", "outside ASCII", false, "", 0, ""},
    {"ws://host/#frag", "fragment", false, "", 0, ""},
    {"ws://ho%st/", "host name", false, "", 0, ""},
};

TEST(NetUrl, TakesAddressesApartOrSaysWhyNot) {
    for (const Address& a : ADDRESSES) {
        NetUrl url;
        const char* reason = net_url_parse(a.url, &url);
        if (a.refused) {
            ASSERT_NE(reason, nullptr) << a.url;
            EXPECT_NE(std::string(reason).find(a.refused), std::string::npos) << a.url << ": " << reason;
            continue;
        }
        ASSERT_EQ(reason, nullptr) << a.url << ": " << reason;
        EXPECT_EQ(url.tls, a.tls) << a.url;
        EXPECT_EQ(url.host, a.host) << a.url;
        EXPECT_EQ(url.port, a.port) << a.url;
        EXPECT_EQ(url.path, a.path) << a.url;
    }
    NetUrl url;
    EXPECT_NE(net_url_parse(std::string(NET_URL_MAX + 1, 'a').insert(0, "ws://").c_str(), &url), nullptr);
    ASSERT_EQ(net_url_parse("ws://[::1]:9000/", &url), nullptr);
    EXPECT_EQ(net_url_authority(url), "[::1]:9000");
}

} // namespace
