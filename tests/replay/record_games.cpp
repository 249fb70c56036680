// Records a set of games for the comparison of the builds: record_games DIR COUNT [SEED] writes
// COUNT replay files into DIR, game-NNN.qrp, every level among them once COUNT reaches 17.
#include "recorded_games.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: record_games DIR COUNT [SEED]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int32_t count = std::atoi(argv[2]);
    const uint32_t seed = argc > 3 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1;
    int32_t written = 0;
    bool ok = true;
    const bool done = games_record(count, seed, [&](const std::string&, const std::string& bytes) {
        char name[32];
        std::snprintf(name, sizeof name, "/game-%03d.qrp", ++written);
        FILE* f = std::fopen((dir + name).c_str(), "wb");
        ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && ok;
        if (f) std::fclose(f);
    });
    if (!done || !ok) {
        std::fprintf(stderr, "record_games: %s\n", done ? "cannot write the files" : "the games did not end");
        return 1;
    }
    return 0;
}
