// The real quibbet-server as a child process on the loopback, on a port the system picks, and the
// headless machines that talk to it. Every wait polls with a generous deadline.
#pragma once

#include "server/probe_client.h"
#include "server/probe_process.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

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
    ServerChild child;
    int port = 0;
    std::string output;

    explicit ServerProcess(std::vector<std::string> args)
        : child(server_child_start(QUIBBET_SERVER_BIN, std::move(args))), port(child.port), output(child.first_line) {}
    ~ServerProcess() { server_child_stop(child); }
    void read_output() {
        char chunk[4096];
        ssize_t n;
        while ((n = read(child.output, chunk, sizeof chunk)) > 0) output.append(chunk, static_cast<size_t>(n));
    }
    bool alive() const { return child.pid > 0 && waitpid(child.pid, nullptr, WNOHANG) == 0; }
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
