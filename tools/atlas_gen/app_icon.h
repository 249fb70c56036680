// The program's icon: the first player's bird on a whole grass tile, drawn at any size from the
// atlas's own painters, and the files a desktop and an exe want made from it.
// Single-threaded; the same size always gives the same bytes.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The sizes the desktop's icon theme asks for, and the two a browser puts on a home screen; the
// exe's icon group takes those Windows shows.
constexpr std::array<int, 10> ICON_SIZES = {16, 22, 24, 32, 48, 64, 128, 192, 256, 512};
constexpr std::array<int, 6> ICO_SIZES = {16, 24, 32, 48, 64, 256};

// The icon as size * size * 4 straight RGBA bytes.
std::vector<uint8_t> icon_rgba(int size);

// An .ico file that holds each given PNG file as one image (the format's PNG entries).
std::vector<uint8_t> ico_from_pngs(const std::vector<std::vector<uint8_t>>& pngs,
                                   const std::vector<int>& sizes);
