// The one port: accepts connections (counted per address), hands each to a plain or TLS session,
// and runs the room clock every TICK_MS on the same thread.
#include "server/server_run.h"

#include "server/http_session.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>

namespace {

// Sessions still pending when the loop stops die with `io`, and they use `state` and `tls`: those
// two go last.
struct Server {
    ServerState state;
    std::optional<ssl::context> tls;
    net::io_context io{1};
    tcp::acceptor acceptor{io};
    net::steady_timer clock{io};
    std::chrono::steady_clock::time_point next_tick;
    std::optional<TickStats> stats;
};

// What the limits per address count: an IPv4 address, or an IPv6 network of 64 bits.
std::string address_key(const net::ip::address& address) {
    if (address.is_v4()) return address.to_string();
    const auto v6 = address.to_v6();
    if (v6.is_v4_mapped()) return net::ip::make_address_v4(net::ip::v4_mapped, v6).to_string();
    auto bytes = v6.to_bytes();
    std::fill(bytes.begin() + 8, bytes.end(), 0);
    return net::ip::address_v6(bytes).to_string() + "/64";
}

void accept(Server& server) {
    server.acceptor.async_accept([&server](beast::error_code ec, tcp::socket socket) {
        if (!ec) {
            beast::error_code peer_error;
            const auto peer = socket.remote_endpoint(peer_error);
            const std::string address = peer_error ? std::string("?") : address_key(peer.address());
            if (!peer_error && hub_admit(server.state.hub, address)) {
                // A closed tick is a small message every TICK_MS: sent at once, not held back to
                // wait for the previous one's acknowledgement.
                socket.set_option(tcp::no_delay(true), peer_error);
                auto admission = std::make_shared<Admission>(server.state, address);
                if (server.tls)
                    std::make_shared<HttpSession<beast::ssl_stream<beast::tcp_stream>>>(
                        beast::ssl_stream<beast::tcp_stream>(std::move(socket), *server.tls), server.state, admission)
                        ->run();
                else
                    std::make_shared<HttpSession<beast::tcp_stream>>(beast::tcp_stream(std::move(socket)),
                                                                     server.state, admission)
                        ->run();
            }
        }
        accept(server);
    });
}

void tick(Server& server) {
    ServerState& state = server.state;
    const auto woke = std::chrono::steady_clock::now();
    const std::chrono::milliseconds beat(wire::TICK_MS);
    state.closing_due = state.started + (woke - state.started) / beat * beat;
    if (state.stats)
        state.stats->woke.add(std::chrono::duration_cast<std::chrono::microseconds>(woke - *state.closing_due).count());
    hub_tick(state.hub, state.now_ms());
    state.closing_due.reset();
    // Ticks are counted from the clock, not from these wake-ups: a late one closes every due tick.
    const auto now = std::chrono::steady_clock::now();
    server.next_tick += std::chrono::milliseconds(wire::TICK_MS);
    if (server.next_tick < now) server.next_tick = now + std::chrono::milliseconds(1);
    server.clock.expires_at(server.next_tick);
    server.clock.async_wait([&server](beast::error_code ec) {
        if (!ec) tick(server);
    });
}

void print_line(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// With --stats, SIGUSR1 prints the figures since the last line and starts them afresh.
void stats_on_signal(Server& server, net::signal_set& signal) {
    signal.async_wait([&server, &signal](beast::error_code ec, int) {
        if (ec) return;
        print_line(server.stats->line());
        server.stats->clear();
        stats_on_signal(server, signal);
    });
}

void wire_hub(Server& server) {
    Hub& hub = server.state.hub;
    hub.random = system_random;
    hub.out.send = [&server](ConnId id, const Bytes& bytes) {
        auto link = server.state.links.find(id);
        if (link != server.state.links.end()) link->second.send(bytes);
    };
    hub.out.close = [&server](ConnId id) {
        auto link = server.state.links.find(id);
        if (link != server.state.links.end()) link->second.close();
    };
    hub.out.log = print_line;
}

} // namespace

int server_run(const ServerOptions& options) {
    Server server;
    server.state.web_folder = options.web;
    if (options.stats) server.state.stats = &server.stats.emplace();
    wire_hub(server);
    try {
        if (!options.cert.empty()) {
            server.tls.emplace(ssl::context::tls_server);
            server.tls->set_options(ssl::context::default_workarounds | ssl::context::no_sslv2 |
                                    ssl::context::no_sslv3 | ssl::context::no_tlsv1 | ssl::context::no_tlsv1_1);
            server.tls->use_certificate_chain_file(options.cert);
            server.tls->use_private_key_file(options.key, ssl::context::pem);
        }
    } catch (const std::exception& e) {
        std::cerr << "quibbet-server: cannot use the certificate " << options.cert << " with the key " << options.key
                  << ": " << e.what() << "\n";
        return 1;
    }
    try {
        const tcp::endpoint endpoint{net::ip::make_address(options.listen), static_cast<unsigned short>(options.port)};
        server.acceptor.open(endpoint.protocol());
        server.acceptor.set_option(net::socket_base::reuse_address(true));
        server.acceptor.bind(endpoint);
        server.acceptor.listen(net::socket_base::max_listen_connections);
    } catch (const std::exception& e) {
        std::cerr << "quibbet-server: cannot listen on " << options.listen << " port " << options.port << ": "
                  << e.what() << "\n";
        return 1;
    }
    const auto bound = server.acceptor.local_endpoint();
    const char* scheme = server.tls ? "s" : "";
    std::printf("quibbet-server %s listening on %s port %u: rooms at ws%s://HOST:%u%s, %s\n", QUIBBET_VERSION,
                bound.address().to_string().c_str(), bound.port(), scheme, bound.port(), ROOMS_PATH,
                options.web.empty() ? "no web files" : ("the game at http" + std::string(scheme) + "://HOST:" +
                                                        std::to_string(bound.port()) + "/ from " + options.web)
                                                           .c_str());
    std::fflush(stdout);

    net::signal_set stop_signals(server.io, SIGINT, SIGTERM);
    stop_signals.async_wait([&server](beast::error_code, int) {
        if (server.stats) print_line(server.stats->line());
        std::puts("quibbet-server stopped");
        std::fflush(stdout);
        server.io.stop();
    });
    net::signal_set stats_signal(server.io);
    if (server.stats) {
        stats_signal.add(SIGUSR1);
        stats_on_signal(server, stats_signal);
    }
    accept(server);
    // The clock beats from the rooms' time zero, so a tick closes as soon as it is due.
    server.next_tick = server.state.started;
    tick(server);
    server.io.run();
    return 0;
}
