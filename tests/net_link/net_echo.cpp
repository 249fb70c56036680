// The echo server as a program, for the link tests of the other builds (the exe under wine,
// the page's code in node): prints its port, then serves until it is killed.
// Usage: net_echo [CERT_PEM KEY_PEM]
#include "echo_server.h"

#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char** argv) {
    try {
        const uint16_t port = argc >= 3 ? echo_server_start(argv[1], argv[2]) : echo_server_start();
        std::printf("%u\n", port);
        std::fflush(stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "net_echo: %s\n", e.what());
        return 1;
    }
    // Never longer than any test that starts it.
    std::this_thread::sleep_for(std::chrono::minutes(15));
}
