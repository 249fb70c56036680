// A WebSocket echo server for the link tests, on 127.0.0.1 at a port the system picks. It
// answers the upgrade only at /echo (anything else gets HTTP 404), sends every binary message
// back, and obeys a few messages of its own so tests can make it fail:
//   "!close:REASON"  closes the link with REASON        "!cut"  drops the connection
//   "!text"          sends a text message               "!big"  sends one byte too many
#pragma once
#include <cstdint>
#include <string>

// Starts serving on threads of its own that last as long as the process; answers the port.
// With cert_file and key_file (PEM) it speaks TLS. Throws when it cannot start.
uint16_t echo_server_start(const std::string& cert_file = "", const std::string& key_file = "");
