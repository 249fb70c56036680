// File and named-resource seam for the music player's module sources.
#pragma once
#include <cstdint>

struct PlatformFile;

// Called by the file module source. Null when the file cannot be opened for reading.
PlatformFile* platform_file_open(const char* name);

// Reads up to count bytes at the absolute offset; returns the bytes read (0 at or past the end).
uint32_t platform_file_read_at(PlatformFile* file, uint64_t offset, void* destination, uint32_t count);

void platform_file_close(PlatformFile* file);

// Called by the resource module source: the named data resource of the given module (null for
// the program itself). On Windows an RCDATA resource; elsewhere the program's embedded data by
// name. False (and size 0) when it does not exist.
bool platform_resource_find(const char* name, const void* module, const uint8_t** data, uint32_t* size);
