// Module files and data resources on Windows. Files are read at absolute offsets (no shared
// file position); resources are RCDATA of the given module, or of the program itself.
#include "platform/module_file.h"

#include <windows.h>

namespace {
const LPCSTR RCDATA_TYPE = MAKEINTRESOURCEA(10); // RT_RCDATA, spelt for the ANSI lookup
} // namespace

struct PlatformFile {
    HANDLE handle;
};

PlatformFile* platform_file_open(const char* name) {
    const HANDLE h = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : new PlatformFile{h};
}

uint32_t platform_file_read_at(PlatformFile* file, uint64_t offset, void* destination, uint32_t count) {
    // The offset of a synchronous read goes in the OVERLAPPED record; a read at or past the
    // end fails with ERROR_HANDLE_EOF, which is 0 bytes for the caller.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (!ReadFile(file->handle, destination, count, &read, &at)) return 0;
    return read;
}

void platform_file_close(PlatformFile* file) {
    if (!file) return;
    CloseHandle(file->handle);
    delete file;
}

bool platform_resource_find(const char* name, const void* module, const uint8_t** data, uint32_t* size) {
    *data = nullptr;
    *size = 0;
    // A null module handle means the program's own image.
    const auto owner = static_cast<HMODULE>(const_cast<void*>(module));
    const HRSRC resource = FindResourceA(owner, name, RCDATA_TYPE);
    if (!resource) return false;
    const HGLOBAL loaded = LoadResource(owner, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return false;
    *data = static_cast<const uint8_t*>(bytes);
    *size = SizeofResource(owner, resource);
    return true;
}
