// Where a module's bytes come from: a block of memory, a file read through an 8 KB block cache,
// or a named resource of the program. The loader only reads forward and seeks.
// Reads never fail: they copy at most what the source still holds and leave the rest of the
// destination as it was, so truncated input shows up as zeros in fresh arena records.
// Threads: used by the thread that loads the module (inside music_start).
#pragma once
#include <array>
#include <cstdint>

struct PlatformFile;

constexpr uint32_t SOURCE_CACHE_BYTES = 8192;
constexpr uint32_t SOURCE_SIZE_FILE = 0xFFFFFFFFu; // a file's length is found out by reading
constexpr uint64_t SOURCE_CACHE_EMPTY = 1;         // no aligned block starts at offset 1

enum class SourceKind : uint8_t { memory, file, resource };

struct ModuleSource {
    SourceKind kind;
    const char* name;    // file name, or resource name
    const void* module;  // module holding the resource (null: the program itself)
    const uint8_t* base; // memory block or loaded resource
    uint32_t size;
    int64_t position; // may run past size after a cut read, as reads advance by what was asked
    PlatformFile* file;
    uint64_t cache_base; // file offset of the cached block, SOURCE_CACHE_EMPTY when none
    uint32_t cache_fill; // valid bytes in the cache (short at the end of the file)
    std::array<uint8_t, SOURCE_CACHE_BYTES> cache;
};

// Describe the source; nothing is opened until source_open.
void source_set_memory(ModuleSource& source, const void* data, uint32_t size);
void source_set_file(ModuleSource& source, const char* file_name);
void source_set_resource(ModuleSource& source, const char* resource_name, const void* module);

// Called by load_module. A file that cannot be opened or a missing resource leaves a source of
// size 0, which reads nothing.
void source_open(ModuleSource& source);

void source_read(ModuleSource& source, void* destination, uint32_t count);

// To offset (absolute) or position + offset (relative); ignored when the result is negative or
// beyond size.
void source_seek(ModuleSource& source, int64_t offset, bool relative);

// True when a memory or resource source has nothing left to read (files cannot tell).
bool source_exhausted(const ModuleSource& source);

// Called by music_start after loading, whatever the result.
void source_close(ModuleSource& source);
