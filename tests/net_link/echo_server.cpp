#include "echo_server.h"

#include "platform/net_link.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>

#include <memory>
#include <thread>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using asio::ip::tcp;

namespace {

template <class Stream>
void talk(Stream& ws) {
    beast::flat_buffer buffer;
    http::request<http::string_body> request;
    http::read(ws.next_layer(), buffer, request);
    if (request.target() != "/echo") {
        http::response<http::string_body> answer{http::status::not_found, request.version()};
        answer.body() = "nothing here";
        answer.prepare_payload();
        http::write(ws.next_layer(), answer);
        return;
    }
    ws.read_message_max(NET_LINK_MESSAGE_MAX);
    ws.accept(request);
    for (;;) {
        buffer.clear();
        ws.read(buffer);
        const std::string message = beast::buffers_to_string(buffer.data());
        if (message.rfind("!close:", 0) == 0) {
            ws.close(websocket::close_reason(websocket::close_code::normal, message.substr(7)));
            return;
        }
        if (message == "!cut") return; // the socket closes without a word
        ws.binary(message != "!text");
        if (message == "!big") ws.write(asio::buffer(std::string(NET_LINK_MESSAGE_MAX + 1, 'b')));
        else ws.write(buffer.data());
    }
}

void serve(tcp::socket socket, asio::ssl::context* tls) {
    try {
        if (tls) {
            websocket::stream<beast::ssl_stream<tcp::socket>> ws(std::move(socket), *tls);
            ws.next_layer().handshake(asio::ssl::stream_base::server);
            talk(ws);
        } else {
            websocket::stream<tcp::socket> ws(std::move(socket));
            talk(ws);
        }
    } catch (const std::exception&) {
        // A client that fails its own tests goes away mid-talk; the server carries on.
    }
}

} // namespace

uint16_t echo_server_start(const std::string& cert_file, const std::string& key_file) {
    auto io = std::make_shared<asio::io_context>();
    std::shared_ptr<asio::ssl::context> tls;
    if (!cert_file.empty()) {
        tls = std::make_shared<asio::ssl::context>(asio::ssl::context::tls_server);
        tls->use_certificate_chain_file(cert_file);
        tls->use_private_key_file(key_file, asio::ssl::context::pem);
    }
    auto acceptor = std::make_shared<tcp::acceptor>(*io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    const uint16_t port = acceptor->local_endpoint().port();
    std::thread([io, tls, acceptor] {
        for (;;) {
            tcp::socket socket(*io);
            boost::system::error_code ec;
            acceptor->accept(socket, ec);
            if (!ec) std::thread(serve, std::move(socket), tls.get()).detach();
        }
    }).detach();
    return port;
}
