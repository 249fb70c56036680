// server_load [--rooms 10,100,1000] [--seconds 10] [--server PATH]: for each room count, starts a
// fresh quibbet-server on the loopback and fills it with rooms of four headless machines that play
// as people do (a turn every half second each, a checksum run every 8 ticks), then prints the
// server's processor use, how late closed ticks and turns come back, and the bytes per player.
// It measures; it never fails on a number.
#include "server/probe_client.h"
#include "server/probe_process.h"

#include <fcntl.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>
#include <unordered_map>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int TURN_EVERY_MS = 500;
constexpr uint32_t CHECKSUM_RUN = 8;
constexpr int WARM_UP_MS = 3000;
constexpr int ROOMS_CONNECTING_AT_ONCE = 25;

double ms_since(Clock::time_point t0, Clock::time_point t1) {
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

struct Player;

struct LoadRoom {
    std::string code;
    std::vector<Player*> players;
    double epoch_estimate_ms = 1e18; // the earliest a tick's close was seen, minus its tick time
};

struct Player {
    std::shared_ptr<ProbeClient> client;
    LoadRoom* room = nullptr;
    uint8_t seat = 0;
    bool joined = false;
    uint32_t reported_to = 0;
    uint32_t closed = 0;
    uint16_t next_turn = 0;
    Clock::time_point next_turn_at;
    std::unordered_map<uint16_t, Clock::time_point> turns_in_flight;
};

struct Run {
    net::io_context io{1};
    Clock::time_point started = Clock::now();
    bool measuring = false;
    std::vector<double> tick_lateness_ms;
    std::vector<double> turn_latency_ms;
    int failures = 0;
};

uint32_t checksum_of(uint32_t tick) { return tick * 2654435761u; }

void on_ticks(Run& run, Player& p, const wire::Message& m) {
    const auto now = Clock::now();
    p.closed = m.tick + m.count;
    const double since_start = ms_since(run.started, now);
    if (p.seat == 0 && p.joined) {
        // Lateness of the tick's close against the best this room has seen: what the server (and a
        // busy loopback) adds.
        const double offset = since_start - static_cast<double>(p.closed) * wire::TICK_MS;
        p.room->epoch_estimate_ms = std::min(p.room->epoch_estimate_ms, offset);
        if (run.measuring) run.tick_lateness_ms.push_back(offset - p.room->epoch_estimate_ms);
    }
    for (size_t i = 0; i < wire::ticks_record_count(m); ++i) {
        const wire::StampedRecord s = wire::ticks_record(m, i);
        if (s.record.kind != 0 || s.record.seat != p.seat) continue;
        auto sent = p.turns_in_flight.find(static_cast<uint16_t>(s.record.x));
        if (sent == p.turns_in_flight.end()) continue;
        if (run.measuring) run.turn_latency_ms.push_back(ms_since(sent->second, now));
        p.turns_in_flight.erase(sent);
    }
    while (p.joined && p.closed - p.reported_to >= CHECKSUM_RUN) {
        std::array<uint32_t, CHECKSUM_RUN> sums;
        for (uint32_t i = 0; i < CHECKSUM_RUN; ++i) sums[i] = checksum_of(p.reported_to + i);
        p.client->send(wire::checksums_message(p.reported_to, sums));
        p.reported_to += CHECKSUM_RUN;
    }
}

void on_message(Run& run, Player& p, std::span<const uint8_t> bytes,
                const std::function<void(LoadRoom&)>& room_opened) {
    wire::Message m;
    if (wire::decode(bytes, m)) return;
    if (m.type == wire::Type::JOINED) {
        p.seat = static_cast<uint8_t>(std::countr_zero(m.seat_mask));
        p.reported_to = m.tick;
        p.joined = true;
        if (p.room->code.empty()) {
            p.room->code.assign(m.code.begin(), m.code.end());
            room_opened(*p.room);
        }
    } else if (m.type == wire::Type::TICKS) {
        on_ticks(run, p, m);
    } else if (m.type == wire::Type::ERROR) {
        ++run.failures;
        std::fprintf(stderr, "server_load: %.*s\n", m.text_length, m.text.data());
    }
}

void start_player(Run& run, Player& p, int port, const std::string& from, const wire::Message& entry,
                  const std::function<void(LoadRoom&)>& room_opened) {
    p.client = std::make_shared<ProbeClient>(run.io, nullptr);
    p.client->on_message = [&run, &p, room_opened](std::span<const uint8_t> b) { on_message(run, p, b, room_opened); };
    p.client->connect("127.0.0.1", port, from, [&run, &p, entry](beast::error_code ec) {
        if (ec) {
            ++run.failures;
            return;
        }
        p.client->send(wire::hello_message());
        p.client->send(entry);
    });
}

void send_turns(std::vector<std::unique_ptr<Player>>& players) {
    const auto now = Clock::now();
    for (auto& p : players) {
        if (!p->joined || now < p->next_turn_at) continue;
        p->next_turn_at += std::chrono::milliseconds(TURN_EVERY_MS);
        const uint16_t id = p->next_turn++;
        wire::InputRecord turn{0, static_cast<uint8_t>(id % 2 ? 81 : 87), p->seat, static_cast<int16_t>(id), 0};
        p->turns_in_flight[id] = now;
        p->client->send(wire::input_message(0, {turn}));
    }
}

double percentile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

double process_cpu_seconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) user = std::stod(field);
        if (i == 15) system = std::stod(field);
    }
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void run_load(const std::string& server_path, int rooms, int seconds) {
    ServerChild child = server_child_start(server_path, {});
    const pid_t server = child.pid;
    const int port = child.port;
    // The server's room lines are not needed here: drain them so it never blocks on the pipe.
    std::thread([fd = dup(child.output)] {
        fcntl(fd, F_SETFL, 0);
        char chunk[4096];
        while (read(fd, chunk, sizeof chunk) > 0) {
        }
        close(fd);
    }).detach();
    if (server <= 0 || port == 0) {
        std::fprintf(stderr, "server_load: could not start %s\n", server_path.c_str());
        return;
    }
    Run run;
    std::vector<LoadRoom> room_table(static_cast<size_t>(rooms));
    std::vector<std::unique_ptr<Player>> players;
    std::mt19937 phase(12345);
    int next_room = 0, rooms_ready = 0;
    // Each room's machines come from an address of their own, as rooms of friends do.
    auto address_of = [](int r) { return "127.1." + std::to_string(r / 250) + "." + std::to_string(r % 250 + 1); };
    std::function<void()> open_next;
    std::function<void(LoadRoom&)> room_opened = [&](LoadRoom& room) {
        const int r = static_cast<int>(&room - room_table.data());
        for (int i = 1; i < wire::SEATS; ++i) {
            players.push_back(std::make_unique<Player>());
            Player& p = *players.back();
            p.room = &room;
            p.next_turn_at = Clock::now() + std::chrono::milliseconds(phase() % TURN_EVERY_MS);
            room.players.push_back(&p);
            start_player(run, p, port, address_of(r), wire::join_message(room.code, 1), room_opened);
        }
        ++rooms_ready;
        open_next();
    };
    open_next = [&] {
        if (next_room >= rooms) return;
        LoadRoom& room = room_table[static_cast<size_t>(next_room)];
        players.push_back(std::make_unique<Player>());
        Player& p = *players.back();
        p.room = &room;
        p.next_turn_at = Clock::now() + std::chrono::milliseconds(phase() % TURN_EVERY_MS);
        room.players.push_back(&p);
        start_player(run, p, port, address_of(next_room), wire::open_message(1), room_opened);
        ++next_room;
    };
    for (int i = 0; i < ROOMS_CONNECTING_AT_ONCE; ++i) open_next();

    net::steady_timer pace(run.io);
    std::function<void()> every_10ms = [&] {
        send_turns(players);
        pace.expires_after(std::chrono::milliseconds(10));
        pace.async_wait([&](beast::error_code ec) {
            if (!ec) every_10ms();
        });
    };
    every_10ms();
    auto everyone_in = [&] {
        return rooms_ready == rooms &&
               std::all_of(players.begin(), players.end(), [](const auto& p) { return p->joined; });
    };
    const auto give_up = Clock::now() + std::chrono::seconds(120);
    while (!everyone_in() && Clock::now() < give_up) run.io.run_for(std::chrono::milliseconds(50));
    run.io.run_for(std::chrono::milliseconds(WARM_UP_MS));

    uint64_t up_before = 0, down_before = 0;
    for (auto& p : players) {
        up_before += p->client->bytes_sent;
        down_before += p->client->bytes_received;
    }
    const double cpu_before = process_cpu_seconds(server);
    const auto t0 = Clock::now();
    run.measuring = true;
    run.io.run_for(std::chrono::seconds(seconds));
    run.measuring = false;
    const double wall = ms_since(t0, Clock::now()) / 1000.0;
    const double cpu = process_cpu_seconds(server) - cpu_before;
    uint64_t up = 0, down = 0;
    for (auto& p : players) {
        up += p->client->bytes_sent;
        down += p->client->bytes_received;
    }
    const size_t joined = static_cast<size_t>(
        std::count_if(players.begin(), players.end(), [](const auto& p) { return p->joined; }));
    std::printf("%5d rooms %5zu players: server CPU %5.1f %% of a core | closed tick late by p50 %6.2f ms p99 %6.2f ms"
                " | turn back after p50 %6.2f ms p99 %6.2f ms | a player sends %4.0f B/s, gets %4.0f B/s%s\n",
                rooms, joined, 100.0 * cpu / wall, percentile(run.tick_lateness_ms, 0.5),
                percentile(run.tick_lateness_ms, 0.99), percentile(run.turn_latency_ms, 0.5),
                percentile(run.turn_latency_ms, 0.99),
                static_cast<double>(up - up_before) / static_cast<double>(std::max<size_t>(joined, 1)) / wall,
                static_cast<double>(down - down_before) / static_cast<double>(std::max<size_t>(joined, 1)) / wall,
                run.failures ? " (some machines failed, see above)" : "");
    std::fflush(stdout);
    for (auto& p : players) p->client->close();
    run.io.run_for(std::chrono::milliseconds(200));
    server_child_stop(child);
}

} // namespace

int main(int argc, char** argv) {
    std::string rooms_list = "10,100,1000", server_path = QUIBBET_SERVER_BIN;
    int seconds = 10;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--rooms") rooms_list = argv[i + 1];
        else if (arg == "--seconds") seconds = std::max(1, std::atoi(argv[i + 1]));
        else if (arg == "--server") server_path = argv[i + 1];
    }
    signal(SIGPIPE, SIG_IGN);
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0) { // four descriptors a room, a thousand rooms
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::printf("server_load: rooms of 4 machines on the loopback, a turn every %d ms each, %d s measured per line;"
                " the turn's time includes the wait for its tick to close (up to %d ms)\n",
                TURN_EVERY_MS, seconds, wire::TICK_MS);
    std::stringstream list(rooms_list);
    for (std::string item; std::getline(list, item, ',');) run_load(server_path, std::max(1, std::stoi(item)), seconds);
    return 0;
}
