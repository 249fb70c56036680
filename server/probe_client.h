// A headless machine speaking the wire to quibbet-server (plain or TLS), for the tests and the load
// tool: connects, sends messages, hands every message it gets to a callback, counts the bytes.
// It runs on the caller's io_context; nothing in it is thread-safe.
#pragma once

#include "online/wire.h"
#include "server/net_common.h"

#include <deque>
#include <string>

class ProbeClient : public std::enable_shared_from_this<ProbeClient> {
  public:
    // `tls` null: plain WebSocket. The client does not check the server's certificate.
    ProbeClient(net::io_context& io, ssl::context* tls);

    // `from` is the local address to connect from ("" for any): the load tool spreads its machines
    // over the loopback's addresses as real ones come from many.
    void connect(const std::string& host, int port, const std::string& from,
                 std::function<void(beast::error_code)> done);
    void send(const wire::Message& message);
    void send_bytes(std::vector<uint8_t> bytes, bool binary = true);
    void close();

    std::function<void(std::span<const uint8_t>)> on_message;
    std::function<void(beast::error_code)> on_closed;
    uint64_t bytes_sent = 0;     // WebSocket payload and frame headers, both ways
    uint64_t bytes_received = 0;
    bool open = false;

  private:
    template <class F>
    void with_ws(F f);
    void read();
    void write();

    net::io_context& io_;
    ssl::context* tls_;
    std::unique_ptr<websocket::stream<beast::tcp_stream>> plain_;
    std::unique_ptr<websocket::stream<beast::ssl_stream<beast::tcp_stream>>> secure_;
    beast::flat_buffer buffer_;
    std::deque<std::pair<std::vector<uint8_t>, bool>> queue_;
};
