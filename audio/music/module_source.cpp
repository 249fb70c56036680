// The three module sources. Memory and resources share one read routine; files go through an
// 8 KB cache of aligned blocks, with whole blocks in the middle of a large read going straight
// to the destination.
#include "audio/music/module_source.h"

#include "platform/module_file.h"

#include <algorithm>
#include <cstring>

namespace {

void source_reset(ModuleSource& source, SourceKind kind) {
    source.kind = kind;
    source.name = nullptr;
    source.module = nullptr;
    source.base = nullptr;
    source.size = 0;
    source.position = 0;
    source.file = nullptr;
    source.cache_base = SOURCE_CACHE_EMPTY;
    source.cache_fill = 0;
}

void block_read(ModuleSource& source, uint8_t* destination, uint32_t count) {
    int64_t available = int64_t{source.size} - source.position;
    int64_t copied = std::min<int64_t>(count, available);
    if (copied < 1) return;
    std::memcpy(destination, source.base + source.position, static_cast<size_t>(copied));
    source.position += count;
}

// Raw reads past the end of the file deliver nothing; the destination keeps its bytes.
void file_read(ModuleSource& source, uint8_t* destination, uint32_t count) {
    if (!source.file || source.position < 0) return;
    uint64_t at = static_cast<uint64_t>(source.position);
    uint64_t end = at + count;
    source.position += count;
    while (at < end) {
        uint64_t remaining = end - at;
        if (source.cache_base != SOURCE_CACHE_EMPTY && at >= source.cache_base &&
            at < source.cache_base + SOURCE_CACHE_BYTES) {
            uint64_t offset = at - source.cache_base;
            uint64_t take = std::min<uint64_t>(remaining, SOURCE_CACHE_BYTES - offset);
            if (offset < source.cache_fill) {
                uint64_t valid = std::min<uint64_t>(take, source.cache_fill - offset);
                std::memcpy(destination, source.cache.data() + offset, static_cast<size_t>(valid));
            }
            if (source.cache_fill < SOURCE_CACHE_BYTES && offset + take >= source.cache_fill)
                return; // file end
            destination += take;
            at += take;
            continue;
        }
        uint64_t last_boundary = end / SOURCE_CACHE_BYTES * SOURCE_CACHE_BYTES;
        if (at % SOURCE_CACHE_BYTES == 0 && last_boundary > at) {
            auto span = static_cast<uint32_t>(last_boundary - at);
            uint32_t got = platform_file_read_at(source.file, at, destination, span);
            if (got < span) return;
            destination += span;
            at += span;
            continue;
        }
        source.cache_base = at / SOURCE_CACHE_BYTES * SOURCE_CACHE_BYTES;
        source.cache_fill =
            platform_file_read_at(source.file, source.cache_base, source.cache.data(), SOURCE_CACHE_BYTES);
    }
}

} // namespace

void source_set_memory(ModuleSource& source, const void* data, uint32_t size) {
    source_reset(source, SourceKind::memory);
    source.base = static_cast<const uint8_t*>(data);
    source.size = data ? size : 0;
}

void source_set_file(ModuleSource& source, const char* file_name) {
    source_reset(source, SourceKind::file);
    source.name = file_name;
}

void source_set_resource(ModuleSource& source, const char* resource_name, const void* module) {
    source_reset(source, SourceKind::resource);
    source.name = resource_name;
    source.module = module;
}

void source_open(ModuleSource& source) {
    source.position = 0;
    switch (source.kind) {
    case SourceKind::memory:
        break;
    case SourceKind::file:
        source.file = source.name ? platform_file_open(source.name) : nullptr;
        source.size = source.file ? SOURCE_SIZE_FILE : 0;
        source.cache_base = SOURCE_CACHE_EMPTY;
        source.cache_fill = 0;
        break;
    case SourceKind::resource:
        if (!source.name || !platform_resource_find(source.name, source.module, &source.base, &source.size)) {
            source.base = nullptr;
            source.size = 0;
        }
        break;
    }
}

void source_read(ModuleSource& source, void* destination, uint32_t count) {
    if (count == 0) return;
    if (source.kind == SourceKind::file)
        file_read(source, static_cast<uint8_t*>(destination), count);
    else
        block_read(source, static_cast<uint8_t*>(destination), count);
}

void source_seek(ModuleSource& source, int64_t offset, bool relative) {
    int64_t target = relative ? source.position + offset : offset;
    if (target < 0 || target > int64_t{source.size}) return;
    source.position = target;
}

bool source_exhausted(const ModuleSource& source) {
    return source.kind != SourceKind::file && source.position >= int64_t{source.size};
}

void source_close(ModuleSource& source) {
    if (source.kind == SourceKind::file && source.file) platform_file_close(source.file);
    source.file = nullptr;
}
