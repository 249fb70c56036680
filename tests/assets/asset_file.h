// Reading a committed file of assets/ in the source tree, for comparison with what the program embeds.
#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::vector<uint8_t> read_asset_file(const std::string& name) {
    std::ifstream in(std::string(QUIBBET_ASSET_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
