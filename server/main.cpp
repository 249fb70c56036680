// quibbet-server: Quibbet's online rooms and the browser game on one port.
#include "server/options.h"
#include "server/server_run.h"

#include <sys/resource.h>

#include <cstdio>

namespace {

// Every connection is a descriptor; the soft limit is often far below what the system allows.
void raise_descriptor_limit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int main(int argc, char** argv) {
    ServerOptions options;
    if (const auto error = options_parse({argv + 1, argv + argc}, options)) {
        std::fprintf(stderr, "quibbet-server: %s\n%s", error->c_str(), SERVER_USAGE);
        return 2;
    }
    if (options.help) {
        std::fputs(SERVER_USAGE, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("quibbet-server %s\n", QUIBBET_VERSION);
        return 0;
    }
    raise_descriptor_limit();
    return server_run(options);
}
