// A WebSocket echo server for the link checks, on 127.0.0.1 at a port the system picks, which it
// prints. It answers the upgrade only at /echo (elsewhere HTTP 404), sends every binary message
// back, and obeys a few messages of its own so a check can make it fail:
//   "!close:REASON"  closes the link with REASON        "!cut"  drops the connection
//   "!text"          sends a text message               "!big"  sends one byte too many
// Usage: net_echo [CERT_PEM KEY_PEM]   (with them it speaks TLS); it serves until it is killed.
#include "platform/net_link.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>

#include <chrono>
#include <cstdio>
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
        if (message == "!big")
            ws.write(asio::buffer(std::string(NET_LINK_MESSAGE_MAX + 1, 'b')));
        else
            ws.write(buffer.data());
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
        // A check that fails goes away mid-talk; the server carries on.
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        asio::io_context io;
        asio::ssl::context tls(asio::ssl::context::tls_server);
        if (argc >= 3) {
            tls.use_certificate_chain_file(argv[1]);
            tls.use_private_key_file(argv[2], asio::ssl::context::pem);
        }
        tcp::acceptor acceptor(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
        std::printf("%u\n", acceptor.local_endpoint().port());
        std::fflush(stdout);
        // Never longer than any check that starts it.
        std::thread([] {
            std::this_thread::sleep_for(std::chrono::minutes(15));
            std::exit(0);
        }).detach();
        for (;;) {
            tcp::socket socket(io);
            acceptor.accept(socket);
            std::thread(serve, std::move(socket), argc >= 3 ? &tls : nullptr).detach();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "net_echo: %s\n", e.what());
        return 1;
    }
}
