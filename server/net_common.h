// What the server's sessions share: the library's names, the hub they feed and the links by which
// the hub reaches them. One thread runs everything, so none of this is locked.
#pragma once

#include "server/hub.h"
#include "server/tick_stats.h"

#include <utility> // Boost 1.74's Asio uses std::exchange without it in C++20

#include <boost/asio.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace net = boost::asio;
namespace ssl = boost::asio::ssl;
namespace beast = boost::beast;
namespace http = boost::beast::http;
namespace websocket = boost::beast::websocket;
using tcp = boost::asio::ip::tcp;

struct Link {
    std::function<void(const Bytes&)> send;
    std::function<void()> close;
};

struct ServerState {
    Hub hub;
    std::unordered_map<ConnId, Link> links;
    std::string web_folder;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    TickStats* stats = nullptr; // only with --stats
    // While the room clock closes ticks: the moment they were due (what --stats measures from).
    std::optional<std::chrono::steady_clock::time_point> closing_due;
    int64_t now_ms() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count();
    }
};

// Counts one TCP connection against its address for as long as any session holds it.
struct Admission {
    ServerState& state;
    std::string address;
    Admission(ServerState& s, std::string a) : state(s), address(std::move(a)) {}
    Admission(const Admission&) = delete;
    Admission& operator=(const Admission&) = delete;
    ~Admission() { hub_release(state.hub, address); }
};
using AdmissionPtr = std::shared_ptr<Admission>;
