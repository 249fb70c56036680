#include "server/options.h"

#include <charconv>

const char* const SERVER_USAGE =
    "Usage: quibbet-server [--port N] [--listen ADDRESS] [--web DIR] [--cert FILE --key FILE]\n"
    "Runs Quibbet's online rooms over WebSocket (path /ws) and serves the browser game from DIR at /,\n"
    "both on one port (default 8147). With --cert and --key (PEM files) every connection is TLS:\n"
    "https:// and wss://.\n"
    "  --port N          the port to listen on (0: any free one, printed at start)\n"
    "  --listen ADDRESS  the local address to listen on (default 0.0.0.0; :: for IPv6)\n"
    "  --web DIR         the browser build's folder (quibbet.html, quibbet.js, quibbet.wasm)\n"
    "  --cert FILE       the TLS certificate chain\n"
    "  --key FILE        the TLS private key\n"
    "  --stats           on SIGUSR1 and at exit, print how late closed ticks reach the sockets\n"
    "  --help            this text\n"
    "  --version         the version\n";

std::optional<std::string> options_parse(const std::vector<std::string>& args, ServerOptions& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg == "--stats") {
            options.stats = true;
            continue;
        }
        std::string* text = arg == "--listen" ? &options.listen
                            : arg == "--web"  ? &options.web
                            : arg == "--cert" ? &options.cert
                            : arg == "--key"  ? &options.key
                                              : nullptr;
        if (!text && arg != "--port") return "unknown option " + arg;
        if (i + 1 >= args.size()) return arg + " needs a value";
        const std::string& value = args[++i];
        if (text) {
            *text = value;
            continue;
        }
        int port = -1;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), port);
        if (error != std::errc{} || end != value.data() + value.size() || port < 0 || port > 65535)
            return "--port needs a number from 0 to 65535, not " + value;
        options.port = port;
    }
    if (options.cert.empty() != options.key.empty()) return "--cert and --key go together";
    return std::nullopt;
}
