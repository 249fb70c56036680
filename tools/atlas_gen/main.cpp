// gen_atlas: paints the game's texture atlas.
//   gen_atlas <output_dir>          writes <output_dir>/atlas.png
//   gen_atlas --sheet <file.png>    writes the contact sheet of every image
// Output is byte-identical from run to run.
#include "atlas_build.h"
#include "contact_sheet.h"
#include "png_file.h"

#include "assets/atlas_images.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const bool sheet = argc == 3 && std::string(argv[1]) == "--sheet";
    if (argc != 2 && !sheet) {
        std::fprintf(stderr, "usage: gen_atlas <output_dir>\n       gen_atlas --sheet <file.png>\n");
        return 2;
    }
    std::string error;
    const std::vector<uint8_t> atlas = atlas_compose(error);
    if (atlas.empty()) {
        std::fprintf(stderr, "gen_atlas: %s\n", error.c_str());
        return 1;
    }
    bool written;
    if (sheet) {
        const SheetImage image = contact_sheet(atlas);
        written = png_write_rgba(argv[2], image.rgba, image.width, image.height, error);
    } else {
        written = png_write_rgba(std::string(argv[1]) + "/atlas.png", atlas, ATLAS_SIZE, ATLAS_SIZE, error);
    }
    if (!written) {
        std::fprintf(stderr, "gen_atlas: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
