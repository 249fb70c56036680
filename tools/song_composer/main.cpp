// gen_song: composes the game's song and writes it as song.xm into the directory named on the
// command line. The same source always gives the same bytes.
#include "output_file.h"
#include "song_module.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    const char* directory = output_directory(argc, argv);
    if (!directory) return 2;
    try {
        const std::vector<uint8_t> bytes = xm::write(song_module());
        return write_output(directory, "song.xm", bytes) ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gen_song: %s\n", e.what());
        return 1;
    }
}
