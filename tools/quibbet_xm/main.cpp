// quibbet-xm: render, play or describe an XM module with the game's own music player.
#include "xm_commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int MAX_LOOPS = 1000;

int usage() {
    std::fputs(
        "usage: quibbet-xm render [--loops N] FILE.xm OUT.wav | play FILE.xm | info [--loops N] FILE.xm\n"
        "       quibbet-xm --version\n"
        "  render and info play the song once: until it comes back to a row it has already\n"
        "  played (--loops N: until the N-th time), or at most 30 minutes\n",
        stderr);
    return EXIT_USAGE;
}

// Takes "--loops N" off the front of the arguments; false when it is there but not 1..1000.
bool take_loops(int& argc, char**& argv, int& loops) {
    loops = 1;
    if (argc < 2 || std::strcmp(argv[0], "--loops") != 0) return true;
    char* end = nullptr;
    const long n = std::strtol(argv[1], &end, 10);
    if (*argv[1] == '\0' || *end != '\0' || n < 1 || n > MAX_LOOPS) return false;
    loops = static_cast<int>(n);
    argc -= 2;
    argv += 2;
    return true;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const char* command = argv[1];
    if (std::strcmp(command, "--version") == 0 && argc == 2) {
        std::printf("quibbet-xm %s\n", QUIBBET_VERSION);
        return 0;
    }
    int rest = argc - 2;
    char** args = argv + 2;
    if (std::strcmp(command, "play") == 0) return rest == 1 ? play_command(args[0]) : usage();
    int loops = 1;
    if (!take_loops(rest, args, loops)) return usage();
    if (std::strcmp(command, "render") == 0 && rest == 2) return render_command(args[0], args[1], loops);
    if (std::strcmp(command, "info") == 0 && rest == 1) return info_command(args[0], loops);
    return usage();
}
