// One TCP connection until it asks for the rooms: the TLS handshake when the server has a
// certificate, HTTP requests for the browser build's files, and the upgrade to a WebSocket at /ws.
// Each step has HANDSHAKE_TIMEOUT_MS, so a slow or silent client costs nothing for long.
#pragma once

#include "server/web_files.h"
#include "server/ws_session.h"

#include <filesystem>
#include <optional>

inline constexpr const char* ROOMS_PATH = "/ws";

template <class Stream>
class HttpSession : public std::enable_shared_from_this<HttpSession<Stream>> {
  public:
    HttpSession(Stream&& stream, ServerState& state, AdmissionPtr admission)
        : stream_(std::move(stream)), state_(state), admission_(std::move(admission)) {}

    void run() {
        expire();
        if constexpr (std::is_same_v<Stream, beast::tcp_stream>) {
            read();
        } else {
            stream_.async_handshake(ssl::stream_base::server, [self = this->shared_from_this()](beast::error_code ec) {
                if (!ec) self->read();
            });
        }
    }

  private:
    void expire() {
        beast::get_lowest_layer(stream_).expires_after(std::chrono::milliseconds(limits::HANDSHAKE_TIMEOUT_MS));
    }

    void read() {
        parser_.emplace();
        parser_->header_limit(limits::MAX_REQUEST_HEADER_BYTES);
        parser_->body_limit(0);
        expire();
        http::async_read(stream_, buffer_, *parser_,
                         [self = this->shared_from_this()](beast::error_code ec, size_t) { self->on_read(ec); });
    }

    void on_read(beast::error_code ec) {
        if (ec) return shut();
        http::request<http::empty_body> request = parser_->release();
        if (websocket::is_upgrade(request)) {
            if (request.target() != ROOMS_PATH) return reply_text(request, http::status::not_found, "no rooms here\n");
            std::make_shared<WsSession<Stream>>(std::move(stream_), state_, admission_)->run(std::move(request));
            return;
        }
        if (request.method() != http::verb::get && request.method() != http::verb::head)
            return reply_text(request, http::status::method_not_allowed, "only GET and HEAD\n");
        if (state_.web_folder.empty())
            return reply_text(request, http::status::not_found,
                              "this server has no web files (quibbet-server --web DIR serves them)\n");
        serve_file(request);
    }

    void serve_file(const http::request<http::empty_body>& request) {
        const auto path = web_file_path(state_.web_folder, {request.target().data(), request.target().size()});
        std::error_code fs_error;
        if (!path || !std::filesystem::is_regular_file(*path, fs_error) ||
            std::filesystem::file_size(*path, fs_error) > limits::MAX_WEB_FILE_BYTES)
            return reply_text(request, http::status::not_found, "not found\n");
        http::file_body::value_type body;
        beast::error_code ec;
        body.open(path->c_str(), beast::file_mode::scan, ec);
        if (ec) return reply_text(request, http::status::not_found, "not found\n");
        const auto size = body.size();
        http::response<http::file_body> response{std::piecewise_construct, std::make_tuple(std::move(body)),
                                                 std::make_tuple(http::status::ok, request.version())};
        response.set(http::field::content_type, std::string(web_content_type(*path)));
        response.set(http::field::cache_control, "no-cache");
        response.set("X-Content-Type-Options", "nosniff");
        response.content_length(size);
        response.keep_alive(request.keep_alive());
        if (request.method() == http::verb::head) {
            http::response<http::empty_body> head{http::status::ok, request.version()};
            head.base() = response.base();
            return send(std::move(head));
        }
        send(std::move(response));
    }

    void reply_text(const http::request<http::empty_body>& request, http::status status, const char* text) {
        http::response<http::string_body> response{status, request.version()};
        response.set(http::field::content_type, "text/plain; charset=utf-8");
        response.keep_alive(request.keep_alive());
        response.body() = text;
        response.prepare_payload();
        send(std::move(response));
    }

    template <class Body>
    void send(http::response<Body>&& response) {
        auto kept = std::make_shared<http::response<Body>>(std::move(response));
        expire();
        http::async_write(stream_, *kept, [self = this->shared_from_this(), kept](beast::error_code ec, size_t) {
            if (ec || !kept->keep_alive()) return self->shut();
            self->read();
        });
    }

    void shut() {
        if constexpr (std::is_same_v<Stream, beast::tcp_stream>) {
            beast::error_code ignored;
            stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        } else {
            expire();
            stream_.async_shutdown([self = this->shared_from_this()](beast::error_code) {});
        }
    }

    Stream stream_;
    ServerState& state_;
    AdmissionPtr admission_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::empty_body>> parser_;
};
