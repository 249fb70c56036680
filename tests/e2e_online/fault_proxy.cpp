// A TCP relay on the loopback that makes a good connection look like a poor one, for the fault
// walk: every chunk read from either side goes on after a delay drawn from DELAY +- JITTER ms,
// in the order it came (as TCP keeps it), and now and then a direction stands still for
// STALL_MIN..STALL_MAX ms (what a lost packet costs a TCP stream). A connection ends on both
// sides once one side has ended and what it sent has gone on. The draws come from one seed, so
// a run can be repeated. It stops by itself after --seconds, and on SIGTERM or SIGINT, printing
// what it did; each connection's figures are printed when it ends.
// Usage: fault_proxy --to PORT [--port 0] [--delay-ms 150] [--jitter-ms 40] [--stall-every-ms 3000]
//                    [--stall-min-ms 200] [--stall-max-ms 600] [--seed 1] [--seconds 600]
#include <utility> // the Asio headers use std::exchange without it

#include <boost/asio.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace asio = boost::asio;
using asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

namespace {

struct Options {
    unsigned to = 0, port = 0;
    int delay_ms = 150, jitter_ms = 40;
    int stall_every_ms = 3000, stall_min_ms = 200, stall_max_ms = 600;
    unsigned seed = 1;
    int seconds = 600;
};

// What the relay did, over all connections.
struct Totals {
    unsigned connections = 0;
    unsigned long long chunks = 0, bytes = 0;
    unsigned stalls = 0;
    long long longest_stall_ms = 0, stalled_ms = 0;
    long long shortest_delay_ms = -1, longest_delay_ms = 0; // from read to write, stalls included
};

Options options;
Totals totals;
std::mt19937 draw;

long long ms_between(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration_cast<Ms>(b - a).count();
}

struct Chunk {
    Clock::time_point read_at, due;
    std::vector<char> bytes;
};

// One direction of a connection: what was read from one socket, waiting for its time to be
// written to the other.
struct Pipe {
    tcp::socket* from;
    tcp::socket* to;
    asio::steady_timer timer;
    std::deque<Chunk> queue;
    std::vector<char> buffer = std::vector<char>(64 * 1024);
    Clock::time_point last_due{}, stalled_until{}, next_stall;
    bool writing = false, ended = false;
    unsigned long long chunks = 0, bytes = 0;
    unsigned stalls = 0;

    Pipe(tcp::socket* f, tcp::socket* t)
        : from(f), to(t), timer(f->get_executor()), next_stall(Clock::now() + stall_gap()) {}

    static Ms stall_gap() {
        std::exponential_distribution<double> gap(1.0 / std::max(1, options.stall_every_ms));
        return Ms(static_cast<long long>(gap(draw)) + 1);
    }

    // When a chunk read now may go on: after its delay, after the one before it, and after every
    // stall that began by then.
    Clock::time_point due_of(Clock::time_point now) {
        std::uniform_int_distribution<int> delay(options.delay_ms - options.jitter_ms,
                                                 options.delay_ms + options.jitter_ms);
        const Clock::time_point due = now + Ms(std::max(0, delay(draw)));
        while (next_stall <= due) {
            std::uniform_int_distribution<int> length(options.stall_min_ms, options.stall_max_ms);
            const Ms stall(length(draw));
            const Clock::time_point stall_end = next_stall + stall;
            next_stall = stall_end + stall_gap();
            if (stall_end <= now) continue; // over while nothing was on its way
            stalled_until = std::max(stalled_until, stall_end);
            ++stalls;
            ++totals.stalls;
            totals.stalled_ms += stall.count();
            totals.longest_stall_ms = std::max<long long>(totals.longest_stall_ms, stall.count());
        }
        last_due = std::max({due, stalled_until, last_due});
        return last_due;
    }
};

struct Connection : std::enable_shared_from_this<Connection> {
    unsigned number;
    tcp::socket client, server;
    Pipe up, down;
    bool closed = false;

    Connection(unsigned n, tcp::socket c)
        : number(n), client(std::move(c)), server(client.get_executor()), up(&client, &server),
          down(&server, &client) {}

    void start() {
        auto self = shared_from_this();
        server.async_connect(
            tcp::endpoint(asio::ip::address_v4::loopback(), static_cast<unsigned short>(options.to)),
            [self](const boost::system::error_code& error) {
                if (error) return self->close("the server did not answer: " + error.message());
                self->read(self->up);
                self->read(self->down);
            });
    }

    void read(Pipe& pipe) {
        auto self = shared_from_this();
        pipe.from->async_read_some(asio::buffer(pipe.buffer), [self,
                                                               &pipe](const boost::system::error_code& error,
                                                                      size_t size) {
            if (self->closed) return;
            if (error) {
                pipe.ended = true;
                return self->end_if_done(pipe);
            }
            const Clock::time_point now = Clock::now();
            pipe.queue.push_back({now, pipe.due_of(now), {pipe.buffer.begin(), pipe.buffer.begin() + size}});
            self->write_next(pipe);
            self->read(pipe);
        });
    }

    void write_next(Pipe& pipe) {
        if (pipe.writing || pipe.queue.empty()) return;
        pipe.writing = true;
        auto self = shared_from_this();
        pipe.timer.expires_at(pipe.queue.front().due);
        pipe.timer.async_wait([self, &pipe](const boost::system::error_code& error) {
            if (error || self->closed) return;
            asio::async_write(*pipe.to, asio::buffer(pipe.queue.front().bytes),
                              [self, &pipe](const boost::system::error_code& error, size_t size) {
                                  if (self->closed) return;
                                  if (error) return self->close("a write failed: " + error.message());
                                  const long long late = ms_between(pipe.queue.front().read_at, Clock::now());
                                  if (totals.shortest_delay_ms < 0 || late < totals.shortest_delay_ms)
                                      totals.shortest_delay_ms = late;
                                  totals.longest_delay_ms = std::max(totals.longest_delay_ms, late);
                                  ++pipe.chunks;
                                  pipe.bytes += size;
                                  ++totals.chunks;
                                  totals.bytes += size;
                                  pipe.queue.pop_front();
                                  pipe.writing = false;
                                  self->end_if_done(pipe);
                                  self->write_next(pipe);
                              });
        });
    }

    // One side has ended: once what it sent has gone on, so does the other side.
    void end_if_done(Pipe& pipe) {
        if (pipe.ended && pipe.queue.empty() && !pipe.writing)
            close(&pipe == &up ? "the client ended" : "the server ended");
    }

    void close(const std::string& why) {
        if (closed) return;
        closed = true;
        boost::system::error_code ignored;
        client.close(ignored);
        server.close(ignored);
        up.timer.cancel();
        down.timer.cancel();
        std::printf("fault_proxy: connection %u closed (%s): up %llu chunks, %llu bytes, %u stalls; "
                    "down %llu chunks, %llu bytes, %u stalls\n",
                    number, why.c_str(), up.chunks, up.bytes, up.stalls, down.chunks, down.bytes,
                    down.stalls);
        std::fflush(stdout);
    }
};

void accept(tcp::acceptor& acceptor) {
    acceptor.async_accept([&acceptor](const boost::system::error_code& error, tcp::socket socket) {
        if (error) return;
        socket.set_option(tcp::no_delay(true));
        auto c = std::make_shared<Connection>(++totals.connections, std::move(socket));
        c->server.open(tcp::v4());
        c->server.set_option(tcp::no_delay(true));
        c->start();
        accept(acceptor);
    });
}

void print_totals(const char* why) {
    std::printf(
        "fault_proxy: done (%s): %u connections, %llu chunks, %llu bytes relayed, each %lld to %lld ms "
        "late; %u stalls, %lld ms in all, the longest %lld ms\n",
        why, totals.connections, totals.chunks, totals.bytes, std::max(0ll, totals.shortest_delay_ms),
        totals.longest_delay_ms, totals.stalls, totals.stalled_ms, totals.longest_stall_ms);
    std::fflush(stdout);
}

bool parse(int argc, char** argv) {
    struct Flag {
        const char* name;
        long min, max;
        void (*set)(long);
    };
    static const Flag flags[] = {
        {"--to", 1, 65535, [](long v) { options.to = static_cast<unsigned>(v); }},
        {"--port", 0, 65535, [](long v) { options.port = static_cast<unsigned>(v); }},
        {"--delay-ms", 0, 10000, [](long v) { options.delay_ms = static_cast<int>(v); }},
        {"--jitter-ms", 0, 10000, [](long v) { options.jitter_ms = static_cast<int>(v); }},
        {"--stall-every-ms", 1, 600000, [](long v) { options.stall_every_ms = static_cast<int>(v); }},
        {"--stall-min-ms", 0, 60000, [](long v) { options.stall_min_ms = static_cast<int>(v); }},
        {"--stall-max-ms", 0, 60000, [](long v) { options.stall_max_ms = static_cast<int>(v); }},
        {"--seed", 0, 0xffffffffL, [](long v) { options.seed = static_cast<unsigned>(v); }},
        {"--seconds", 1, 3600, [](long v) { options.seconds = static_cast<int>(v); }},
    };
    for (int i = 1; i < argc; i += 2) {
        const Flag* flag = std::find_if(std::begin(flags), std::end(flags),
                                        [&](const Flag& f) { return std::strcmp(f.name, argv[i]) == 0; });
        if (flag == std::end(flags) || i + 1 >= argc) return false;
        char* end = nullptr;
        const long value = std::strtol(argv[i + 1], &end, 10);
        if (*end || end == argv[i + 1] || value < flag->min || value > flag->max) return false;
        flag->set(value);
    }
    return options.to != 0 && options.jitter_ms <= options.delay_ms &&
           options.stall_min_ms <= options.stall_max_ms;
}

} // namespace

int main(int argc, char** argv) {
    if (!parse(argc, argv)) {
        std::fprintf(stderr, "usage: fault_proxy --to PORT [--port 0] [--delay-ms 150] [--jitter-ms 40] "
                             "[--stall-every-ms 3000] [--stall-min-ms 200] [--stall-max-ms 600] [--seed 1] "
                             "[--seconds 600]\n");
        return 2;
    }
    draw.seed(options.seed);
    try {
        asio::io_context io;
        tcp::acceptor acceptor(
            io, tcp::endpoint(asio::ip::address_v4::loopback(), static_cast<unsigned short>(options.port)));
        std::printf(
            "fault_proxy: listening on 127.0.0.1 port %u, relaying to 127.0.0.1 port %u: chunks %d +- %d ms "
            "late, a stall of %d to %d ms every %d ms or so, seed %u, for %d s\n",
            acceptor.local_endpoint().port(), options.to, options.delay_ms, options.jitter_ms,
            options.stall_min_ms, options.stall_max_ms, options.stall_every_ms, options.seed,
            options.seconds);
        std::fflush(stdout);
        accept(acceptor);
        const char* why = "the time is up";
        asio::signal_set signals(io, SIGTERM, SIGINT);
        signals.async_wait([&](const boost::system::error_code& error, int) {
            if (error) return;
            why = "stopped";
            io.stop();
        });
        io.run_for(std::chrono::seconds(options.seconds));
        print_totals(why);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fault_proxy: %s\n", e.what());
        return 1;
    }
    return 0;
}
