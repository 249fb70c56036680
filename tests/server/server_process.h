// The real quibbet-server as a child process on the loopback, on a port the system picks, and the
// headless machines that talk to it. Every wait polls with a generous deadline.
#pragma once

#include "server/probe_client.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

inline bool run_until(net::io_context& io, const std::function<bool()>& done, int timeout_ms = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        io.restart();
        io.run_for(std::chrono::milliseconds(10));
    }
    return true;
}

struct ServerProcess {
    pid_t pid = -1;
    int port = 0;
    int out = -1;
    std::string output;

    explicit ServerProcess(std::vector<std::string> args) {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        args.insert(args.begin(), {QUIBBET_SERVER_BIN, "--listen", "127.0.0.1", "--port", "0"});
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out = fds[0];
        fcntl(out, F_SETFL, O_NONBLOCK);
        // The first line names the port: "... listening on 127.0.0.1 port N: ..."
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (output.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd p{out, POLLIN, 0};
            poll(&p, 1, 100);
            read_output();
        }
        const size_t at = output.find(" port ");
        if (at != std::string::npos) port = std::stoi(output.substr(at + 6));
    }
    ~ServerProcess() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (out >= 0) close(out);
    }
    void read_output() {
        char chunk[4096];
        ssize_t n;
        while ((n = read(out, chunk, sizeof chunk)) > 0) output.append(chunk, static_cast<size_t>(n));
    }
    bool alive() const { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }
};

// One machine: what it got, decoded on demand from the kept bytes.
struct Machine {
    std::shared_ptr<ProbeClient> client;
    std::vector<std::vector<uint8_t>> got;
    bool connected = false;
    bool closed = false;

    Machine(net::io_context& io, int port, const std::string& from = "127.0.0.1", ssl::context* tls = nullptr)
        : client(std::make_shared<ProbeClient>(io, tls)) {
        client->on_message = [this](std::span<const uint8_t> bytes) { got.emplace_back(bytes.begin(), bytes.end()); };
        client->on_closed = [this](beast::error_code) { closed = true; };
        client->connect("127.0.0.1", port, from, [this](beast::error_code ec) {
            connected = !ec;
            closed = closed || ec;
        });
        run_until(io, [this] { return connected || closed; });
    }
    ~Machine() {
        client->on_message = nullptr;
        client->on_closed = nullptr;
        client->close();
    }
    std::vector<wire::Message> messages(wire::Type type) const {
        std::vector<wire::Message> out;
        for (const auto& bytes : got) {
            wire::Message m;
            if (!wire::decode(bytes, m) && m.type == type) out.push_back(m);
        }
        return out;
    }
    uint32_t ticks_closed() const {
        auto all = messages(wire::Type::TICKS);
        return all.empty() ? 0 : all.back().tick + all.back().count;
    }
    std::vector<wire::StampedRecord> records() const {
        std::vector<wire::StampedRecord> out;
        for (const auto& m : messages(wire::Type::TICKS))
            for (size_t i = 0; i < wire::ticks_record_count(m); ++i) out.push_back(wire::ticks_record(m, i));
        return out;
    }
    std::string room_code() const {
        auto joined = messages(wire::Type::JOINED);
        return joined.empty() ? "" : std::string(joined[0].code.begin(), joined[0].code.end());
    }
};
