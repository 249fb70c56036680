// quibbet-server started as a child on the loopback, on a port the system picks, for the tests and
// the load tool: its pid, its port (from its first line) and the pipe of its standard output.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct ServerChild {
    pid_t pid = -1;
    int port = 0;
    int output = -1;         // non-blocking, after the first line
    std::string first_line;
};

ServerChild server_child_start(const std::string& binary, std::vector<std::string> args);
// SIGTERM, then waits for it.
void server_child_stop(ServerChild& child);
