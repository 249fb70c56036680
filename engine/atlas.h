// Loading a texture atlas: one PNG becomes one GL texture in a new texture slot, and the
// records describing its rectangles are appended to the image table.
// Main thread, GL context current.
#pragma once
#include "assets/image_record.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Decodes the PNG (from memory, or from the named file when size is 0; failures are fatal),
// uploads it with linear filters and no mipmaps, and appends records to the image table with
// their texture_slot set to the new slot. Returns the slot index, or -1 with nothing changed
// when no slot is free or the image table has no room for all the records.
int32_t atlas_load(const char* file_name, const uint8_t* data, size_t size,
                   std::span<const ImageRecord> records);
