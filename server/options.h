// quibbet-server's command line.
#pragma once

#include "server/limits.h"

#include <optional>
#include <string>
#include <vector>

struct ServerOptions {
    std::string listen = "0.0.0.0";
    int port = limits::DEFAULT_PORT;
    std::string web; // folder of the browser build; empty: no web files
    std::string cert;
    std::string key;
    bool stats = false; // how late closed ticks leave, on SIGUSR1 and at exit
    bool help = false;
    bool version = false;
};

// Fills `options`; returns a one-line reason when the command line is wrong.
std::optional<std::string> options_parse(const std::vector<std::string>& args, ServerOptions& options);
extern const char* const SERVER_USAGE;
