// The data the program carries: every file of assets/ as a named constant byte array.
#pragma once
#include <cstdint>

struct EmbeddedAsset {
    const char* name; // file name in assets/, e.g. "atlas.png"
    const uint8_t* data;
    uint32_t size;
};

// Null when no embedded file has that name.
const EmbeddedAsset* embedded_asset_find(const char* name);
