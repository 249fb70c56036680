// Writes the 16-channel test song to a module file, for the tests that need one on disk.
#include "music_mixer/demo_song.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: write_demo_song OUT.xm\n", stderr);
        return 2;
    }
    const std::vector<uint8_t> bytes = demo::file();
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) return 1;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok ? 0 : 1;
}
