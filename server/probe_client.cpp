#include "server/probe_client.h"

namespace {

// Frame headers as the protocol sizes them: a client masks its frames, the server does not.
uint64_t frame_bytes(size_t payload, bool masked) {
    const uint64_t length_bytes = payload < 126 ? 0 : payload <= 0xFFFF ? 2 : 8;
    return payload + 2 + length_bytes + (masked ? 4 : 0);
}

} // namespace

ProbeClient::ProbeClient(net::io_context& io, ssl::context* tls) : io_(io), tls_(tls) {}

template <class F>
void ProbeClient::with_ws(F f) {
    if (plain_)
        f(*plain_);
    else if (secure_)
        f(*secure_);
}

void ProbeClient::connect(const std::string& host, int port, const std::string& from,
                          std::function<void(beast::error_code)> done) {
    tcp::socket socket(io_);
    const tcp::endpoint server{net::ip::make_address(host), static_cast<unsigned short>(port)};
    beast::error_code ec;
    socket.open(server.protocol(), ec);
    if (!ec && !from.empty()) socket.bind({net::ip::make_address(from), 0}, ec);
    if (!ec) socket.set_option(tcp::no_delay(true), ec); // as browsers do: small messages go at once
    if (ec) return net::post(io_, [done, ec] { done(ec); });
    if (tls_)
        secure_ = std::make_unique<websocket::stream<beast::ssl_stream<beast::tcp_stream>>>(
            beast::tcp_stream(std::move(socket)), *tls_);
    else
        plain_ = std::make_unique<websocket::stream<beast::tcp_stream>>(beast::tcp_stream(std::move(socket)));
    const std::string host_header = host + ":" + std::to_string(port);
    auto self = shared_from_this();
    auto handshake = [self, host_header, done](beast::error_code ec) {
        if (ec) return done(ec);
        self->with_ws([&](auto& ws) {
            ws.binary(true);
            ws.read_message_max(wire::MAX_SERVER_MESSAGE);
            ws.async_handshake(host_header, "/ws", [self, done](beast::error_code ec) {
                self->open = !ec;
                done(ec);
                if (!ec) self->read();
            });
        });
    };
    with_ws([&](auto& ws) {
        beast::get_lowest_layer(ws).async_connect(server, [self, handshake](beast::error_code ec) {
            if (ec || !self->secure_) return handshake(ec);
            self->secure_->next_layer().async_handshake(ssl::stream_base::client, handshake);
        });
    });
}

void ProbeClient::read() {
    with_ws([&](auto& ws) {
        ws.async_read(buffer_, [self = shared_from_this()](beast::error_code ec, size_t) {
            if (ec) {
                self->open = false;
                if (self->on_closed) self->on_closed(ec);
                return;
            }
            const auto data = self->buffer_.cdata();
            self->bytes_received += frame_bytes(data.size(), false);
            if (self->on_message) self->on_message({static_cast<const uint8_t*>(data.data()), data.size()});
            self->buffer_.consume(self->buffer_.size());
            self->read();
        });
    });
}

void ProbeClient::send(const wire::Message& message) {
    std::vector<uint8_t> bytes;
    wire::encode(message, bytes);
    send_bytes(std::move(bytes));
}

void ProbeClient::send_bytes(std::vector<uint8_t> bytes, bool binary) {
    if (!open) return;
    bytes_sent += frame_bytes(bytes.size(), true);
    queue_.emplace_back(std::move(bytes), binary);
    if (queue_.size() == 1) write();
}

void ProbeClient::write() {
    with_ws([&](auto& ws) {
        ws.binary(queue_.front().second);
        ws.async_write(net::buffer(queue_.front().first), [self = shared_from_this()](beast::error_code ec, size_t) {
            self->queue_.pop_front();
            if (!ec && !self->queue_.empty()) self->write();
        });
    });
}

void ProbeClient::close() {
    open = false;
    with_ws([&](auto& ws) {
        beast::error_code ignored;
        beast::get_lowest_layer(ws).socket().close(ignored);
    });
}
