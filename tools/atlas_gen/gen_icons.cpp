// gen_icons: the program's icon at every size the desktop's icon theme and a browser's home screen
// use, and the exe's icon.
//   gen_icons <output_dir>   writes quibbet-<size>.png for each size and quibbet.ico
// Output is byte-identical from run to run.
#include "app_icon.h"
#include "png_file.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {
std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_icons <output_dir>\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<std::vector<uint8_t>> ico_pngs;
    std::vector<int> ico_sizes;
    for (const int size : ICON_SIZES) {
        std::string error;
        const std::string path = dir + "/quibbet-" + std::to_string(size) + ".png";
        if (!png_write_rgba(path, icon_rgba(size), size, size, error)) {
            std::fprintf(stderr, "gen_icons: %s\n", error.c_str());
            return 1;
        }
        for (const int wanted : ICO_SIZES) {
            if (wanted != size) continue;
            ico_pngs.push_back(read_file(path));
            ico_sizes.push_back(size);
        }
    }
    const std::vector<uint8_t> ico = ico_from_pngs(ico_pngs, ico_sizes);
    std::ofstream out(dir + "/quibbet.ico", std::ios::binary);
    out.write(reinterpret_cast<const char*>(ico.data()), static_cast<std::streamsize>(ico.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "gen_icons: cannot write %s/quibbet.ico\n", dir.c_str());
        return 1;
    }
    return 0;
}
