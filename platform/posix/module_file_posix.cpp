// Module files and resources on POSIX systems; resources are the program's embedded data.
#include "assets/embedded.h"
#include "platform/module_file.h"

#include <cstdio>

struct PlatformFile {
    FILE* handle;
};

PlatformFile* platform_file_open(const char* name) {
    FILE* f = std::fopen(name, "rb");
    return f ? new PlatformFile{f} : nullptr;
}

uint32_t platform_file_read_at(PlatformFile* file, uint64_t offset, void* destination, uint32_t count) {
    if (std::fseek(file->handle, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    return static_cast<uint32_t>(std::fread(destination, 1, count, file->handle));
}

void platform_file_close(PlatformFile* file) {
    if (!file) return;
    std::fclose(file->handle);
    delete file;
}

bool platform_resource_find(const char* name, const void*, const uint8_t** data, uint32_t* size) {
    const EmbeddedAsset* asset = embedded_asset_find(name);
    *data = asset ? asset->data : nullptr;
    *size = asset ? asset->size : 0;
    return asset != nullptr;
}
