// Writes 8-bit straight RGBA pixels as a PNG of colour type 6, with no automatic colour-type
// reduction and no time stamp, so the same pixels always give the same bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

bool png_write_rgba(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height,
                    std::string& error);
