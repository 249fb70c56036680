// One machine's WebSocket, plain or over TLS: binary messages in to the hub, the hub's messages out
// in order. A machine that stops reading is not waited for: past a bounded backlog it is cut off.
#pragma once

#include "server/limits.h"
#include "server/net_common.h"

#include <deque>

template <class Stream>
class WsSession : public std::enable_shared_from_this<WsSession<Stream>> {
  public:
    WsSession(Stream&& stream, ServerState& state, AdmissionPtr admission)
        : ws_(std::move(stream)), state_(state), admission_(std::move(admission)) {}

    void run(http::request<http::empty_body> request) {
        beast::get_lowest_layer(ws_).expires_never();
        websocket::stream_base::timeout timeout{};
        timeout.handshake_timeout = std::chrono::milliseconds(limits::HANDSHAKE_TIMEOUT_MS);
        timeout.idle_timeout = websocket::stream_base::none(); // silence is the hub's to judge
        timeout.keep_alive_pings = false;
        ws_.set_option(timeout);
        ws_.read_message_max(wire::MAX_CLIENT_MESSAGE);
        ws_.binary(true);
        ws_.async_accept(request, [self = this->shared_from_this()](beast::error_code ec) { self->on_accept(ec); });
    }

  private:
    void on_accept(beast::error_code ec) {
        if (ec) return;
        id_ = hub_connect(state_.hub, admission_->address, state_.now_ms());
        std::weak_ptr<WsSession> weak = this->shared_from_this();
        state_.links[id_] = Link{[weak](const Bytes& bytes) {
                                     if (auto self = weak.lock()) self->send(bytes);
                                 },
                                 [weak] {
                                     if (auto self = weak.lock()) self->close();
                                 }};
        read();
    }

    void read() {
        ws_.async_read(buffer_, [self = this->shared_from_this()](beast::error_code ec, size_t) { self->on_read(ec); });
    }

    void on_read(beast::error_code ec) {
        const int64_t now = state_.now_ms();
        if (ec) {
            // A frame the library refuses (too big, malformed) breaks the format like a bad message.
            const bool broken = ec != websocket::error::closed && ec != net::error::eof &&
                                ec != net::error::connection_reset && ec != net::error::operation_aborted &&
                                ec.category() == websocket::make_error_code(websocket::error::closed).category();
            if (broken) hub_refuse(state_.hub, id_, ec.message().c_str(), now);
            return end();
        }
        if (!ws_.got_binary()) {
            hub_refuse(state_.hub, id_, "a text frame", now);
        } else {
            const auto data = buffer_.cdata();
            hub_message(state_.hub, id_, {static_cast<const uint8_t*>(data.data()), data.size()}, now);
        }
        buffer_.consume(buffer_.size());
        if (closing_) return; // the close ends the session
        read();
    }

    void end() {
        if (ended_) return;
        ended_ = true;
        state_.links.erase(id_);
        hub_disconnect(state_.hub, id_, state_.now_ms());
    }

    void send(const Bytes& bytes) {
        if (closing_) return;
        queued_bytes_ += bytes->size();
        if (queued_bytes_ > limits::MAX_QUEUED_BYTES_PER_CONNECTION) {
            // Cut off; the hub hears of it once it is done with what it is doing.
            beast::get_lowest_layer(ws_).close();
            closing_ = true;
            net::post(ws_.get_executor(), [self = this->shared_from_this()] { self->end(); });
            return;
        }
        const bool closed_tick = state_.stats && state_.closing_due && (*bytes)[0] == uint8_t(wire::Type::TICKS);
        queue_.push_back({bytes, closed_tick ? state_.closing_due : std::nullopt});
        if (queue_.size() == 1) write();
    }

    void write() {
        if (const auto due = queue_.front().due)
            state_.stats->handed.add(std::chrono::duration_cast<std::chrono::microseconds>(
                                         std::chrono::steady_clock::now() - *due)
                                         .count());
        ws_.async_write(net::buffer(*queue_.front().bytes),
                        [self = this->shared_from_this()](beast::error_code ec, size_t) { self->on_write(ec); });
    }

    void on_write(beast::error_code ec) {
        queued_bytes_ -= queue_.front().bytes->size();
        queue_.pop_front();
        if (ec) return;
        if (!queue_.empty()) return write();
        if (close_wanted_) start_close();
    }

    void close() {
        close_wanted_ = true;
        if (queue_.empty()) start_close();
    }

    void start_close() {
        if (closing_) return;
        closing_ = true;
        ws_.async_close(websocket::close_code::policy_error, [self = this->shared_from_this()](beast::error_code) {
            beast::get_lowest_layer(self->ws_).close();
            self->end();
        });
    }

    websocket::stream<Stream> ws_;
    ServerState& state_;
    AdmissionPtr admission_;
    beast::flat_buffer buffer_;
    ConnId id_ = 0;
    struct Outgoing {
        Bytes bytes;
        std::optional<std::chrono::steady_clock::time_point> due; // a closed tick's, kept for --stats
    };
    std::deque<Outgoing> queue_;
    size_t queued_bytes_ = 0;
    bool close_wanted_ = false;
    bool closing_ = false;
    bool ended_ = false;
};
