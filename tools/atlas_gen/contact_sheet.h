// A contact sheet of the atlas: every image at its full size box, scaled to a readable size,
// on the game's sky blue, labelled with its name, size and display scale.
#pragma once
#include <cstdint>
#include <vector>

struct SheetImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// Builds the sheet from a composed atlas (ATLAS_SIZE * ATLAS_SIZE * 4 straight RGBA bytes).
SheetImage contact_sheet(const std::vector<uint8_t>& atlas);
