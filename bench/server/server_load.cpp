// server_load [--rooms 10,100,1000] [--seconds 10] [--threads N] [--server PATH]: for each room count,
// starts a fresh quibbet-server (with --stats) on the loopback and fills it with rooms of four
// headless machines that play as people do (a turn every half second each, a checksum run every 8
// ticks), spread over N threads of their own. Then it prints the server's processor use, how late
// closed ticks leave the server (its own count) and reach the machines (as they see it), how late
// turns come back, how far behind its own clock the load itself ran, and the bytes per player.
// It measures; it never fails on a number.
#include "server/probe_client.h"
#include "server/probe_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>
#include <unordered_map>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int TURN_EVERY_MS = 500;
constexpr uint32_t CHECKSUM_RUN = 8;
constexpr int WARM_UP_MS = 3000;
constexpr int ROOMS_CONNECTING_AT_ONCE = 25; // per thread
constexpr int PACE_MS = 10;

double ms_since(Clock::time_point t0, Clock::time_point t1) {
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

struct Player;

struct LoadRoom {
    int index = 0;
    std::string code;
    // The earliest any of its machines saw a tick close, minus the tick's time: the room's time zero
    // as seen from here, so what comes later than that was added on the way.
    double epoch_estimate_ms = 1e18;
};

struct Player {
    std::shared_ptr<ProbeClient> client;
    LoadRoom* room = nullptr;
    uint8_t seat = 0;
    bool joined = false;
    uint32_t reported_to = 0;
    uint16_t next_turn = 0;
    Clock::time_point next_turn_at;
    std::unordered_map<uint16_t, Clock::time_point> turns_in_flight;
};

enum Phase : int { CONNECTING, MEASURING, DONE };

// One thread's share of the rooms, on an io_context of its own; the main thread reads its figures
// only once it has ended.
struct Worker {
    net::io_context io{1};
    Clock::time_point started;
    std::vector<LoadRoom> rooms;
    std::vector<std::unique_ptr<Player>> players;
    size_t next_room = 0, rooms_ready = 0;
    bool measuring = false;
    std::vector<double> tick_lateness_ms, turn_latency_ms, turn_added_ms, loop_lateness_ms;
    uint64_t up = 0, down = 0;
    double measured_s = 0;
    size_t joined = 0;
    int failures = 0;
};

uint32_t checksum_of(uint32_t tick) { return tick * 2654435761u; }

void on_ticks(Worker& w, Player& p, const wire::Message& m) {
    const auto now = Clock::now();
    const double since_start = ms_since(w.started, now);
    const uint32_t closed = m.tick + m.count;
    // A log sent on joining is history, not a tick closing now.
    const bool live = p.joined && closed > p.reported_to;
    if (live) {
        const double offset = since_start - static_cast<double>(closed) * wire::TICK_MS;
        p.room->epoch_estimate_ms = std::min(p.room->epoch_estimate_ms, offset);
        if (w.measuring) w.tick_lateness_ms.push_back(offset - p.room->epoch_estimate_ms);
    }
    for (size_t i = 0; i < wire::ticks_record_count(m); ++i) {
        const wire::StampedRecord s = wire::ticks_record(m, i);
        if (s.record.kind != 0 || s.record.seat != p.seat) continue;
        auto sent = p.turns_in_flight.find(static_cast<uint16_t>(s.record.x));
        if (sent == p.turns_in_flight.end()) continue;
        if (w.measuring) {
            // The turn waits for its tick to end by the rules; only what comes after is added.
            const double due = p.room->epoch_estimate_ms + static_cast<double>(s.tick + 1) * wire::TICK_MS;
            w.turn_latency_ms.push_back(ms_since(sent->second, now));
            w.turn_added_ms.push_back(since_start - std::max(due, ms_since(w.started, sent->second)));
        }
        p.turns_in_flight.erase(sent);
    }
    while (p.joined && closed - p.reported_to >= CHECKSUM_RUN) {
        std::array<uint32_t, CHECKSUM_RUN> sums;
        for (uint32_t i = 0; i < CHECKSUM_RUN; ++i) sums[i] = checksum_of(p.reported_to + i);
        p.client->send(wire::checksums_message(p.reported_to, sums));
        p.reported_to += CHECKSUM_RUN;
    }
}

void open_next(Worker& w, int port);
void start_player(Worker& w, LoadRoom& room, int port, const wire::Message& entry);

void on_message(Worker& w, Player& p, std::span<const uint8_t> bytes, int port) {
    wire::Message m;
    if (wire::decode(bytes, m)) return;
    if (m.type == wire::Type::TICKS) return on_ticks(w, p, m);
    if (m.type == wire::Type::ERROR) {
        ++w.failures;
        std::fprintf(stderr, "server_load: %.*s\n", m.text_length, m.text.data());
        return;
    }
    if (m.type != wire::Type::JOINED) return;
    p.seat = static_cast<uint8_t>(std::countr_zero(m.seat_mask));
    p.reported_to = m.tick;
    p.joined = true;
    if (!p.room->code.empty()) return;
    // The opener is in: the room's other three come in by its code, and the next room may open.
    p.room->code.assign(m.code.begin(), m.code.end());
    for (int i = 1; i < wire::SEATS; ++i) start_player(w, *p.room, port, wire::join_message(p.room->code, 1));
    ++w.rooms_ready;
    open_next(w, port);
}

// Each room's machines come from an address of their own, as rooms of friends do.
std::string address_of(int room) {
    return "127.1." + std::to_string(room / 250) + "." + std::to_string(room % 250 + 1);
}

void start_player(Worker& w, LoadRoom& room, int port, const wire::Message& entry) {
    static thread_local std::mt19937 phase(12345);
    w.players.push_back(std::make_unique<Player>());
    Player& p = *w.players.back();
    p.room = &room;
    p.next_turn_at = Clock::now() + std::chrono::milliseconds(phase() % TURN_EVERY_MS);
    p.client = std::make_shared<ProbeClient>(w.io, nullptr);
    p.client->on_message = [&w, &p, port](std::span<const uint8_t> b) { on_message(w, p, b, port); };
    p.client->connect("127.0.0.1", port, address_of(room.index), [&w, &p, entry](beast::error_code ec) {
        if (ec) {
            ++w.failures;
            return;
        }
        p.client->send(wire::hello_message());
        p.client->send(entry);
    });
}

void open_next(Worker& w, int port) {
    if (w.next_room >= w.rooms.size()) return;
    start_player(w, w.rooms[w.next_room++], port, wire::open_message(1));
}

void send_turns(Worker& w) {
    const auto now = Clock::now();
    for (auto& p : w.players) {
        if (!p->joined || now < p->next_turn_at) continue;
        p->next_turn_at += std::chrono::milliseconds(TURN_EVERY_MS);
        const uint16_t id = p->next_turn++;
        wire::InputRecord turn{0, static_cast<uint8_t>(id % 2 ? 81 : 87), p->seat, static_cast<int16_t>(id), 0};
        p->turns_in_flight[id] = now;
        p->client->send(wire::input_message(0, {turn}));
    }
}

void traffic(const Worker& w, uint64_t& up, uint64_t& down) {
    up = down = 0;
    for (const auto& p : w.players) {
        up += p->client->bytes_sent;
        down += p->client->bytes_received;
    }
}

// Connects its rooms, plays until the main thread says DONE, and counts while it says MEASURING.
// The pace timer's own lateness tells how far this thread fell behind its work.
void work(Worker& w, int port, const std::atomic<int>& phase, std::atomic<int>& ready) {
    for (int i = 0; i < ROOMS_CONNECTING_AT_ONCE; ++i) open_next(w, port);
    net::steady_timer pace(w.io);
    Clock::time_point due = Clock::now();
    std::function<void()> beat = [&] {
        const auto now = Clock::now();
        if (w.measuring) w.loop_lateness_ms.push_back(ms_since(due, now));
        send_turns(w);
        // Each beat's lateness on its own: a long stall (while connecting) must not count on and on.
        due = std::max(due, now - std::chrono::milliseconds(PACE_MS)) + std::chrono::milliseconds(PACE_MS);
        pace.expires_at(due);
        pace.async_wait([&](beast::error_code ec) {
            if (!ec) beat();
        });
    };
    beat();
    bool counted_in = false;
    uint64_t up0 = 0, down0 = 0;
    Clock::time_point t0;
    while (phase.load() != DONE) {
        w.io.run_for(std::chrono::milliseconds(PACE_MS));
        if (!counted_in && w.rooms_ready == w.rooms.size() &&
            std::all_of(w.players.begin(), w.players.end(), [](const auto& p) { return p->joined; })) {
            counted_in = true;
            ready.fetch_add(1);
        }
        if (!w.measuring && phase.load() == MEASURING) {
            w.measuring = true;
            traffic(w, up0, down0);
            t0 = Clock::now();
        }
    }
    if (w.measuring) {
        w.measured_s = ms_since(t0, Clock::now()) / 1000.0;
        traffic(w, w.up, w.down);
        w.up -= up0;
        w.down -= down0;
    }
    w.measuring = false;
    w.joined = static_cast<size_t>(
        std::count_if(w.players.begin(), w.players.end(), [](const auto& p) { return p->joined; }));
    pace.cancel();
    for (auto& p : w.players) p->client->close();
    w.io.run_for(std::chrono::milliseconds(200));
}

double percentile(std::vector<double>& v, double q) {
    if (v.empty()) return 0;
    const size_t at = std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())));
    std::nth_element(v.begin(), v.begin() + static_cast<long>(at), v.end());
    return v[at];
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

// The server's standard output, read on a thread of its own so it never blocks on the pipe; keeps
// the last "stats:" line.
struct ServerOutput {
    std::mutex lock;
    std::string last_stats;
    int stats_lines = 0;
};

void read_output(int fd, ServerOutput& out) {
    fcntl(fd, F_SETFL, 0);
    std::string line;
    char chunk[4096];
    for (ssize_t n; (n = read(fd, chunk, sizeof chunk)) > 0;) {
        for (ssize_t i = 0; i < n; ++i) {
            if (chunk[i] != '\n') {
                line += chunk[i];
                continue;
            }
            if (line.rfind("stats:", 0) == 0) {
                std::lock_guard guard(out.lock);
                out.last_stats = line;
                ++out.stats_lines;
            }
            line.clear();
        }
    }
    close(fd);
}

// Asks the server for its figures since the last ask; waits for the line.
std::string server_stats(pid_t server, ServerOutput& out) {
    int before;
    {
        std::lock_guard guard(out.lock);
        before = out.stats_lines;
    }
    kill(server, SIGUSR1);
    for (int i = 0; i < 500; ++i) {
        {
            std::lock_guard guard(out.lock);
            if (out.stats_lines > before) return out.last_stats;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "stats: none came";
}

std::string load_average() {
    std::ifstream file("/proc/loadavg");
    std::string one, five;
    file >> one >> five;
    return one + " " + five;
}

void run_load(const std::string& server_path, int rooms, int seconds, int threads) {
    ServerChild child = server_child_start(server_path, {"--stats"});
    if (child.pid <= 0 || child.port == 0) {
        std::fprintf(stderr, "server_load: could not start %s\n", server_path.c_str());
        return;
    }
    ServerOutput output;
    std::thread reader(read_output, dup(child.output), std::ref(output));

    std::vector<std::unique_ptr<Worker>> workers;
    for (int t = 0; t < threads; ++t) workers.push_back(std::make_unique<Worker>());
    for (int r = 0; r < rooms; ++r) {
        Worker& w = *workers[static_cast<size_t>(r % threads)];
        w.rooms.push_back(LoadRoom{});
        w.rooms.back().index = r;
    }
    std::atomic<int> phase{CONNECTING}, ready{0};
    std::vector<std::thread> running;
    const auto started = Clock::now();
    for (auto& w : workers) {
        w->started = started;
        running.emplace_back(work, std::ref(*w), child.port, std::cref(phase), std::ref(ready));
    }
    const auto give_up = Clock::now() + std::chrono::seconds(120);
    while (ready.load() < threads && Clock::now() < give_up) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(WARM_UP_MS));

    server_stats(child.pid, output); // starts the server's count afresh
    const double cpu_before = process_cpu_seconds(child.pid);
    const auto t0 = Clock::now();
    phase = MEASURING;
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double cpu = process_cpu_seconds(child.pid) - cpu_before;
    const double wall = ms_since(t0, Clock::now()) / 1000.0;
    const std::string stats = server_stats(child.pid, output);
    const std::string load = load_average();
    phase = DONE;
    for (auto& t : running) t.join();

    Worker all;
    double player_seconds = 0;
    for (auto& w : workers) {
        for (std::vector<double> Worker::*v : {&Worker::tick_lateness_ms, &Worker::turn_latency_ms,
                                               &Worker::turn_added_ms, &Worker::loop_lateness_ms})
            (all.*v).insert((all.*v).end(), ((*w).*v).begin(), ((*w).*v).end());
        all.up += w->up;
        all.down += w->down;
        all.joined += w->joined;
        all.failures += w->failures;
        player_seconds += static_cast<double>(w->joined) * w->measured_s;
    }
    player_seconds = std::max(player_seconds, 1e-9);
    std::printf("%5d rooms %5zu players, load average %s: server CPU %5.1f %% of a core\n", rooms, all.joined,
                load.c_str(), 100.0 * cpu / wall);
    std::printf("  server's own count:  %s\n", stats.c_str() + 7);
    std::printf("  the machines saw:    closed tick late p50 %.2f p99 %.2f ms; turn added p50 %.2f p99 %.2f ms,"
                " turn back p50 %.2f p99 %.2f ms; their own %d threads ran late p50 %.2f p99 %.2f ms\n",
                percentile(all.tick_lateness_ms, 0.5), percentile(all.tick_lateness_ms, 0.99),
                percentile(all.turn_added_ms, 0.5), percentile(all.turn_added_ms, 0.99),
                percentile(all.turn_latency_ms, 0.5), percentile(all.turn_latency_ms, 0.99), threads,
                percentile(all.loop_lateness_ms, 0.5), percentile(all.loop_lateness_ms, 0.99));
    std::printf("  a player sends %.0f B/s, gets %.0f B/s%s\n", static_cast<double>(all.up) / player_seconds,
                static_cast<double>(all.down) / player_seconds,
                all.failures ? " (some machines failed, see above)" : "");
    std::fflush(stdout);
    server_child_stop(child);
    reader.join();
}

} // namespace

int main(int argc, char** argv) {
    std::string rooms_list = "10,100,1000", server_path = QUIBBET_SERVER_BIN;
    int seconds = 10;
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--rooms") rooms_list = argv[i + 1];
        else if (arg == "--seconds") seconds = std::max(1, std::atoi(argv[i + 1]));
        else if (arg == "--threads") threads = std::clamp(std::atoi(argv[i + 1]), 1, 64);
        else if (arg == "--server") server_path = argv[i + 1];
    }
    signal(SIGPIPE, SIG_IGN);
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0) { // four descriptors a room, a thousand rooms
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::printf("server_load: rooms of 4 machines on the loopback, a turn every %d ms each, %d s measured per line,"
                " %d threads of machines. Late means after the tick's due time; a turn's way back also waits for"
                " its tick to end (up to %d ms), which \"added\" leaves out\n",
                TURN_EVERY_MS, seconds, threads, wire::TICK_MS);
    std::stringstream list(rooms_list);
    for (std::string item; std::getline(list, item, ',');)
        run_load(server_path, std::max(1, std::stoi(item)), seconds, threads);
    return 0;
}
