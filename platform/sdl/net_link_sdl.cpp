// The Linux network link: a WebSocket of Boost.Beast over Asio, with OpenSSL for wss://, run on
// a thread of the link's own. The game thread touches only the queues (under the link's lock),
// the state word, and the link's io_context, to which any thread may post work; everything
// else belongs to the link's thread.
//
// A wss:// server's certificate is checked against the system's trusted authorities (OpenSSL's
// own SSL_CERT_FILE and SSL_CERT_DIR add to them) and its name against the address.
#include "platform/net_link.h"
#include "platform/net_url.h"

#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using boost::system::error_code;

struct NetLink {
    NetUrl url;
    std::string authority;
    asio::io_context io;
    asio::executor_work_guard<asio::io_context::executor_type> keep_running{io.get_executor()};
    asio::ssl::context tls{asio::ssl::context::tls_client};
    asio::ip::tcp::resolver resolver{io};
    websocket::stream<beast::tcp_stream> plain{io};
    websocket::stream<beast::ssl_stream<beast::tcp_stream>> secure{io, tls};
    asio::steady_timer deadline{io};
    beast::flat_buffer read_buffer;
    websocket::response_type upgrade_answer;
    std::vector<uint8_t> in_flight;
    bool writing = false;
    std::thread thread;

    // Written by the link's thread; closed is final and the error never changes after it.
    std::atomic<NetLinkState> state{NetLinkState::connecting};
    std::string error;
    std::mutex lock; // guards the queues, their byte counts and reading_paused
    std::deque<std::vector<uint8_t>> inbox, outbox;
    size_t inbox_bytes = 0, outbox_bytes = 0;
    bool reading_paused = false;
    std::vector<uint8_t> taken; // the game thread's last message
};

namespace {

template <class Work>
void with_stream(NetLink* link, Work&& work) {
    if (link->url.tls)
        work(link->secure);
    else
        work(link->plain);
}

void close_socket(NetLink* link) {
    link->resolver.cancel();
    with_stream(link, [](auto& ws) { beast::get_lowest_layer(ws).close(); });
}

// The first failure is the one the player hears of; later ones are its echoes.
void fail(NetLink* link, std::string reason) {
    if (link->state.load(std::memory_order_relaxed) == NetLinkState::closed) return;
    link->error = std::move(reason);
    link->state.store(NetLinkState::closed, std::memory_order_release);
    link->deadline.cancel();
    close_socket(link);
}

void lost(NetLink* link, const error_code& ec, const websocket::close_reason& reason) {
    if (ec == websocket::error::closed) {
        const std::string said(reason.reason.c_str());
        fail(link, said.empty() ? "the server closed the link" : "the server closed the link: " + said);
    } else if (ec == websocket::error::message_too_big) {
        fail(link,
             "a message from the server is larger than " + std::to_string(NET_LINK_MESSAGE_MAX) + " bytes");
    } else {
        fail(link, "the connection to " + link->authority + " was lost (" + ec.message() + ")");
    }
}

void start_read(NetLink* link);

void take_read(NetLink* link, bool binary) {
    if (!binary) {
        fail(link, "the server sent a text message");
        return;
    }
    const auto bytes = static_cast<const uint8_t*>(link->read_buffer.data().data());
    std::vector<uint8_t> message(bytes, bytes + link->read_buffer.size());
    link->read_buffer.clear();
    bool paused;
    {
        std::lock_guard hold(link->lock);
        link->inbox_bytes += message.size();
        link->inbox.push_back(std::move(message));
        // A game that stops taking holds the server back, through TCP, instead of filling memory.
        paused = link->reading_paused = link->inbox_bytes >= NET_LINK_QUEUE_BYTES;
    }
    if (!paused) start_read(link);
}

void start_read(NetLink* link) {
    with_stream(link, [link](auto& ws) {
        ws.async_read(link->read_buffer, [link, &ws](error_code ec, size_t) {
            if (ec)
                lost(link, ec, ws.reason());
            else
                take_read(link, ws.got_binary());
        });
    });
}

void write_next(NetLink* link) {
    if (link->writing || link->state.load(std::memory_order_relaxed) != NetLinkState::open) return;
    {
        std::lock_guard hold(link->lock);
        if (link->outbox.empty()) return;
        link->in_flight = std::move(link->outbox.front());
        link->outbox.pop_front();
        link->outbox_bytes -= link->in_flight.size();
    }
    link->writing = true;
    with_stream(link, [link](auto& ws) {
        ws.async_write(asio::buffer(link->in_flight), [link, &ws](error_code ec, size_t) {
            link->writing = false;
            if (ec)
                lost(link, ec, ws.reason());
            else
                write_next(link);
        });
    });
}

template <class Stream>
void upgrade(NetLink* link, Stream& ws) {
    ws.binary(true);
    ws.read_message_max(NET_LINK_MESSAGE_MAX);
    ws.async_handshake(link->upgrade_answer, link->authority, link->url.path, [link](error_code ec) {
        if (ec == websocket::error::upgrade_declined) {
            fail(link, "the server at " + link->authority + " refused the WebSocket upgrade (HTTP " +
                           std::to_string(link->upgrade_answer.result_int()) + ")");
        } else if (ec) {
            fail(link, "the WebSocket handshake with " + link->authority + " failed (" + ec.message() + ")");
        } else {
            link->deadline.cancel();
            link->state.store(NetLinkState::open, std::memory_order_release);
            start_read(link);
            write_next(link);
        }
    });
}

void secure_and_upgrade(NetLink* link) {
    auto& tls = link->secure.next_layer();
    error_code not_an_address;
    asio::ip::make_address(link->url.host, not_an_address);
    // Names go in the TLS hello so a server of several names picks the right certificate.
    if (not_an_address) SSL_set_tlsext_host_name(tls.native_handle(), link->url.host.c_str());
    tls.set_verify_mode(asio::ssl::verify_peer);
    tls.set_verify_callback(asio::ssl::host_name_verification(link->url.host));
    tls.async_handshake(asio::ssl::stream_base::client, [link](error_code ec) {
        if (ec)
            fail(link, "TLS with " + link->authority + " failed (" + ec.message() + ")");
        else
            upgrade(link, link->secure);
    });
}

void start_connect(NetLink* link) {
    link->deadline.expires_after(std::chrono::milliseconds(NET_LINK_CONNECT_TIMEOUT_MS));
    link->deadline.async_wait([link](error_code ec) {
        if (!ec && link->state.load(std::memory_order_relaxed) == NetLinkState::connecting)
            fail(link, "cannot reach " + link->authority + ": no answer in " +
                           std::to_string(NET_LINK_CONNECT_TIMEOUT_MS / 1000) + " s");
    });
    link->resolver.async_resolve(
        link->url.host, std::to_string(link->url.port),
        [link](error_code ec, asio::ip::tcp::resolver::results_type found) {
            if (ec) {
                fail(link, "cannot find " + link->url.host + " (" + ec.message() + ")");
                return;
            }
            with_stream(link, [link, &found](auto& ws) {
                beast::get_lowest_layer(ws).async_connect(found, [link, &ws](error_code ec, const auto&) {
                    // A turn is a few bytes: held back behind an unanswered checksum, it would
                    // reach the server a round trip late.
                    if (!ec) beast::get_lowest_layer(ws).socket().set_option(asio::ip::tcp::no_delay(true), ec);
                    if (ec)
                        fail(link, "cannot reach " + link->authority + " (" + ec.message() + ")");
                    else if (link->url.tls)
                        secure_and_upgrade(link);
                    else
                        upgrade(link, link->plain);
                });
            });
        });
}

// On the link's thread: the closing handshake if the link is open, bounded by the wait, and
// then the thread's end.
void start_close(NetLink* link) {
    link->deadline.cancel();
    link->deadline.expires_after(std::chrono::milliseconds(NET_LINK_CLOSE_WAIT_MS));
    link->deadline.async_wait([link](error_code ec) {
        if (!ec) link->io.stop();
    });
    if (link->state.load(std::memory_order_relaxed) != NetLinkState::open) {
        close_socket(link);
        link->io.stop();
        return;
    }
    with_stream(link, [link](auto& ws) {
        ws.async_close(websocket::close_code::normal, [link](error_code) { link->io.stop(); });
    });
}

} // namespace

NetLink* net_link_open(const char* url) {
    NetLink* link = new NetLink;
    if (const char* reason = net_url_parse(url, &link->url)) {
        link->error = reason;
        link->state.store(NetLinkState::closed);
        return link;
    }
    link->authority = net_url_authority(link->url);
    error_code ignored; // without the system's authorities only SSL_CERT_FILE's are trusted
    link->tls.set_default_verify_paths(ignored);
    SSL_CTX_set_min_proto_version(link->tls.native_handle(), TLS1_2_VERSION);
    asio::post(link->io, [link] { start_connect(link); });
    link->thread = std::thread([link] { link->io.run(); });
    return link;
}

NetLinkState net_link_state(NetLink* link) {
    return link->state.load(std::memory_order_acquire);
}

const char* net_link_error(NetLink* link) {
    return net_link_state(link) == NetLinkState::closed ? link->error.c_str() : "";
}

bool net_link_send(NetLink* link, std::span<const uint8_t> message) {
    if (net_link_state(link) != NetLinkState::open || message.size() > NET_LINK_MESSAGE_MAX) return false;
    {
        std::lock_guard hold(link->lock);
        if (link->outbox_bytes + message.size() > NET_LINK_QUEUE_BYTES) return false;
        link->outbox_bytes += message.size();
        link->outbox.emplace_back(message.begin(), message.end());
    }
    asio::post(link->io, [link] { write_next(link); });
    return true;
}

bool net_link_receive(NetLink* link, std::span<const uint8_t>* message) {
    bool resume = false;
    {
        std::lock_guard hold(link->lock);
        if (link->inbox.empty()) return false;
        link->taken = std::move(link->inbox.front());
        link->inbox.pop_front();
        link->inbox_bytes -= link->taken.size();
        if (link->reading_paused && link->inbox_bytes < NET_LINK_QUEUE_BYTES / 2) {
            link->reading_paused = false;
            resume = true;
        }
    }
    if (resume) asio::post(link->io, [link] { start_read(link); });
    *message = link->taken;
    return true;
}

void net_link_close(NetLink* link) {
    if (link->thread.joinable()) {
        asio::post(link->io, [link] { start_close(link); });
        link->thread.join();
    }
    delete link;
}
