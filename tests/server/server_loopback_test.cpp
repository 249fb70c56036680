// The real server on the loopback: bad clients are closed while a room beside them plays on, the
// browser game's files are served, and the same works over TLS with a self-signed certificate.
#include "server_process.h"

#include "server/limits.h"

#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

const wire::InputRecord TURN{0, 81, 0, 0, 0};

// A raw TCP connection from `from`; true once the server has closed it.
struct RawConnection {
    tcp::socket socket;
    bool closed = false;
    RawConnection(net::io_context& io, int port, const std::string& from) : socket(io) {
        socket.open(tcp::v4());
        socket.bind({net::ip::make_address(from), 0});
        socket.connect({net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)});
    }
    void send(const std::string& bytes) { net::write(socket, net::buffer(bytes)); }
    void watch() {
        auto buffer = std::make_shared<std::array<char, 512>>();
        socket.async_read_some(net::buffer(*buffer), [this, buffer](beast::error_code ec, size_t) {
            if (ec) closed = true;
            else watch();
        });
    }
};

std::string command_output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
        pclose(pipe);
    }
    return out;
}

std::filesystem::path scratch_folder(const char* name) {
    auto folder = std::filesystem::temp_directory_path() / (std::string(name) + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "quibbet.html") << "<p>the game page</p>\n";
    std::ofstream(folder / "quibbet.wasm") << "wasm";
    return folder;
}

// Each row's machines misbehave from their own address; the room of two beside them must keep
// getting its ticks, and the server must still greet a newcomer.
TEST(ServerLoopback, BadClientsAreClosedAndTheRoomBesideThemPlaysOn) {
    ServerProcess server({"--stats"});
    ASSERT_GT(server.port, 0) << server.output;
    net::io_context io;
    Machine host(io, server.port, "127.0.0.2"), guest(io, server.port, "127.0.0.3");
    host.client->send(wire::hello_message());
    host.client->send(wire::open_message(1));
    ASSERT_TRUE(run_until(io, [&] { return !host.room_code().empty(); }));
    guest.client->send(wire::hello_message());
    guest.client->send(wire::join_message(host.room_code(), 1));
    ASSERT_TRUE(run_until(io, [&] { return !guest.room_code().empty(); }));

    struct Row {
        const char* what;
        std::function<bool(const std::string& from)> closed; // misbehaves; true once closed
    };
    auto ws_row = [&](std::function<void(Machine&)> misbehave, bool greet = true) {
        return [&, misbehave, greet](const std::string& from) {
            Machine bad(io, server.port, from);
            if (greet) bad.client->send(wire::hello_message());
            misbehave(bad);
            return run_until(io, [&] { return bad.closed; });
        };
    };
    auto raw_row = [&](std::string bytes) {
        return [&, bytes](const std::string& from) {
            RawConnection raw(io, server.port, from);
            if (!bytes.empty()) raw.send(bytes);
            raw.watch();
            return run_until(io, [&] { return raw.closed; }, limits::HANDSHAKE_TIMEOUT_MS + 10000);
        };
    };
    const std::vector<Row> rows{
        {"garbage instead of a request", raw_row(std::string("\x16\x03\x01\xff\xff garbage\r\n\r\n", 17))},
        {"a handshake that never ends", raw_row("GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\n")},
        {"garbage in a message", ws_row([](Machine& m) { m.client->send_bytes({0x42, 0x17, 0x99}); })},
        {"an oversized frame", ws_row([](Machine& m) { m.client->send_bytes(std::vector<uint8_t>(4096, 1)); })},
        {"a text frame", ws_row([](Machine& m) { m.client->send_bytes({'h', 'i'}, false); })},
        {"another version", ws_row([](Machine& m) { m.client->send(wire::hello_message(wire::VERSION + 7)); }, false)},
        {"the room's other seats",
         ws_row([&](Machine& m) {
             m.client->send(wire::join_message(host.room_code(), 1)); // gets seat 2
             m.client->send(wire::input_message(0, {TURN}));          // steers seat 0
         })},
        {"a flood of joins", [&](const std::string& from) {
             bool last_closed = false;
             for (int i = 0; i <= limits::MAX_JOIN_FAILURES_PER_ADDRESS; ++i) {
                 Machine tries(io, server.port, from);
                 tries.client->send(wire::hello_message());
                 tries.client->send(wire::join_message("ZZZZZ2", 1));
                 last_closed = run_until(io, [&] { return tries.closed; });
                 const auto error = tries.messages(wire::Type::ERROR);
                 const auto expected = i < limits::MAX_JOIN_FAILURES_PER_ADDRESS ? wire::ErrorCode::ROOM_NOT_FOUND
                                                                                  : wire::ErrorCode::TOO_MANY;
                 if (error.size() != 1 || error[0].error != expected) return false;
             }
             return last_closed;
         }},
        {"too many connections from one address", [&](const std::string& from) {
             std::vector<std::unique_ptr<RawConnection>> held;
             for (int i = 0; i < limits::MAX_CONNECTIONS_PER_ADDRESS; ++i)
                 held.push_back(std::make_unique<RawConnection>(io, server.port, from));
             RawConnection extra(io, server.port, from);
             extra.watch();
             return run_until(io, [&] { return extra.closed; }, 3000);
         }},
    };
    int address = 10;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        host.client->send(wire::Message{}); // still here
        guest.client->send(wire::Message{});
        const uint32_t before = host.ticks_closed();
        EXPECT_TRUE(row.closed("127.0.0." + std::to_string(address++)));
        EXPECT_TRUE(server.alive());
        ASSERT_TRUE(run_until(io, [&] { return host.ticks_closed() > before + 4; })) << "the room's clock stopped";
        EXPECT_FALSE(host.closed || guest.closed);
        Machine newcomer(io, server.port, "127.0.0.4");
        newcomer.client->send(wire::hello_message());
        EXPECT_TRUE(run_until(io, [&] { return !newcomer.messages(wire::Type::WELCOME).empty(); }));
    }
    for (const auto& s : guest.records())
        EXPECT_TRUE(s.record.kind >= wire::FIRST_ROOM_EVENT_KIND) << "no stranger's input reached the room";
    server.read_output();
    EXPECT_NE(server.output.find("an input for a seat that is not this machine's"), std::string::npos);
    EXPECT_NE(server.output.find("this server speaks version 1 and this game version 8"), std::string::npos);

    // The room's closed ticks were counted on their way out, and the figures hold together.
    kill(server.child.pid, SIGUSR1);
    const auto stats_line = [&] {
        server.read_output();
        const size_t at = server.output.find("stats: ");
        return at == std::string::npos ? std::string() : server.output.substr(at);
    };
    ASSERT_TRUE(run_until(io, [&] { return stats_line().find('\n') != std::string::npos; })) << server.output;
    unsigned long long messages = 0;
    double p50 = 0, p99 = 0, max = 0;
    ASSERT_EQ(std::sscanf(stats_line().c_str(), "stats: %llu closed-tick messages handed to sockets p50 %lf p99 %lf max %lf",
                          &messages, &p50, &p99, &max),
              4)
        << stats_line();
    EXPECT_GT(messages, 10u);
    EXPECT_LE(p50, p99);
    EXPECT_LE(p99, max + 0.01); // a percentile is its step's upper end
}

TEST(ServerLoopback, TheGameIsServedOverHttpAndRoomsOverTlsWithASelfSignedCertificate) {
    const auto folder = scratch_folder("quibbet-server-tls");
    const std::string key = (folder / "key.pem").string(), cert = (folder / "cert.pem").string();
    command_output("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -keyout " + key +
                   " -out " + cert + " 2>/dev/null");
    ASSERT_TRUE(std::filesystem::exists(cert)) << "openssl made no certificate";

    {
        ServerProcess plain({"--web", folder.string()});
        ASSERT_GT(plain.port, 0);
        const std::string base = "curl -s --path-as-is http://127.0.0.1:" + std::to_string(plain.port);
        EXPECT_EQ(command_output(base + "/"), "<p>the game page</p>\n");
        EXPECT_NE(command_output(base + "/quibbet.wasm -o /dev/null -w '%{content_type}'").find("application/wasm"),
                  std::string::npos);
        EXPECT_EQ(command_output(base + "/../key.pem -o /dev/null -w '%{http_code}'"), "404");
        EXPECT_EQ(command_output(base + "/.hidden -o /dev/null -w '%{http_code}'"), "404");
    }

    ServerProcess server({"--web", folder.string(), "--cert", cert, "--key", key});
    ASSERT_GT(server.port, 0) << server.output;
    EXPECT_NE(server.output.find("wss://"), std::string::npos);
    const std::string url = "https://127.0.0.1:" + std::to_string(server.port) + "/";
    EXPECT_EQ(command_output("curl -sk " + url), "<p>the game page</p>\n");
    EXPECT_EQ(command_output("curl -s http://127.0.0.1:" + std::to_string(server.port) + "/ -w '%{http_code}'"), "000")
        << "no plain HTTP beside TLS";

    ssl::context tls(ssl::context::tls_client);
    net::io_context io;
    Machine host(io, server.port, "127.0.0.1", &tls);
    ASSERT_TRUE(host.connected);
    host.client->send(wire::hello_message());
    host.client->send(wire::open_message(1));
    ASSERT_TRUE(run_until(io, [&] { return !host.room_code().empty(); }));
    host.client->send(wire::input_message(0, {TURN}));
    ASSERT_TRUE(run_until(io, [&] {
        const auto records = host.records();
        return std::any_of(records.begin(), records.end(), [](const auto& s) { return s.record == TURN; });
    })) << "the turn came back in a closed tick";
    std::filesystem::remove_all(folder);
    server.read_output();
    EXPECT_NE(server.output.find("room " + host.room_code() + " opened by 127.0.0.1"), std::string::npos);
}

} // namespace
