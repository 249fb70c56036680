// Runs quibbet-server until SIGINT or SIGTERM; returns the process's exit status.
#pragma once

#include "server/options.h"

int server_run(const ServerOptions& options);
