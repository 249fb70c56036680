// quibbet-xm: render, play or describe an XM module with the game's own music player.
#include "xm_commands.h"

#include <cstdio>
#include <cstring>

namespace {
int usage() {
    std::fputs("usage: quibbet-xm render FILE.xm OUT.wav | play FILE.xm | info FILE.xm\n", stderr);
    return EXIT_USAGE;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "render") == 0) return render_command(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "play") == 0) return play_command(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "info") == 0) return info_command(argv[2]);
    return usage();
}
