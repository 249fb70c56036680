#include "output_file.h"

#include <cstdio>
#include <string>

const char* output_directory(int argc, char** argv) {
    if (argc == 2) return argv[1];
    std::fprintf(stderr, "usage: %s <output directory>\n", argc > 0 ? argv[0] : "generator");
    return nullptr;
}

bool write_output(const char* directory, const char* name, std::span<const uint8_t> bytes) {
    const std::string path = std::string(directory) + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) std::fprintf(stderr, "%s: write failed\n", path.c_str());
    return written && closed;
}
