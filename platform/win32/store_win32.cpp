// The files store on Windows: %APPDATA%\Quibbet for settings and its data folder for the
// player's own files; each write goes to a temporary dot file that is flushed and then moved
// over the target in one step, so a crash leaves the old file whole.
#include "platform/store_common.h"

#include <cstdio>
#include <windows.h>

namespace {

constexpr DWORD PATH_CHARS = 1024;

struct WidePath {
    wchar_t text[PATH_CHARS];
};

void to_utf8(const wchar_t* wide, std::span<char> out) {
    if (out.empty()) return;
    if (WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), static_cast<int>(out.size()), nullptr,
                            nullptr) == 0)
        out[0] = '\0';
}

// The system's words for the last error, without the line break it ends with.
void last_error_text(std::span<char> out) {
    const DWORD code = GetLastError();
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                             out.data(), static_cast<DWORD>(out.size()), nullptr);
    while (n > 0 && (out[n - 1] == '\n' || out[n - 1] == '\r' || out[n - 1] == ' ' || out[n - 1] == '.'))
        --n;
    if (n == 0) n = static_cast<DWORD>(std::snprintf(out.data(), out.size(), "error %lu", code));
    out[n < out.size() ? n : out.size() - 1] = '\0';
}

StoreResult failed(const char* verb, const wchar_t* path) {
    char shown[512], reason[200];
    to_utf8(path, shown);
    last_error_text(reason);
    return store_result(STORE_FAILED, "cannot %s %s: %s", verb, shown, reason);
}

// The place's folder, or false with the reason.
bool place_folder(StorePlace place, WidePath* folder, StoreResult* failure) {
    const DWORD n = GetEnvironmentVariableW(L"APPDATA", folder->text, PATH_CHARS);
    if (n == 0 || n >= PATH_CHARS) {
        *failure = store_result(STORE_FAILED, "no folder for the game's files (APPDATA is not set)");
        return false;
    }
    const wchar_t* own = place == STORE_CONFIG ? L"\\Quibbet" : L"\\Quibbet\\data";
    if (n + lstrlenW(own) >= PATH_CHARS) {
        *failure = store_result(STORE_FAILED, "the folder for the game's files has too long a name");
        return false;
    }
    lstrcatW(folder->text, own);
    return true;
}

// Names are plain ASCII (store_name_valid), so widening is byte by byte.
bool file_path(StorePlace place, const char* name, const wchar_t* prefix, WidePath* path,
               StoreResult* failure) {
    if (!place_folder(place, path, failure)) return false;
    const int length = lstrlenW(path->text);
    const int n = _snwprintf(path->text + length, PATH_CHARS - length, L"\\%ls%hs", prefix, name);
    if (n < 0 || length + n >= static_cast<int>(PATH_CHARS)) {
        *failure = store_result(STORE_FAILED, "%s: name too long", name);
        return false;
    }
    return true;
}

bool make_folders(StorePlace place, StoreResult* failure) {
    WidePath folder;
    if (!place_folder(place, &folder, failure)) return false;
    // The data folder sits inside the settings folder: make that one first.
    wchar_t* data = place == STORE_DATA ? wcsrchr(folder.text, L'\\') : nullptr;
    if (data) *data = L'\0';
    for (int round = 0; round < (data ? 2 : 1); ++round) {
        if (!CreateDirectoryW(folder.text, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            *failure = failed("make the folder", folder.text);
            return false;
        }
        if (data) *data = L'\\';
    }
    return true;
}

bool missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

StoreResult platform_store_read(StorePlace place, const char* name, std::span<char> buffer,
                                std::size_t* size) {
    *size = 0;
    if (!store_name_valid(name)) return store_refused_name(name);
    WidePath path;
    StoreResult failure;
    if (!file_path(place, name, L"", &path, &failure)) return failure;
    const HANDLE file = CreateFileW(path.text, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (missing(GetLastError())) return store_result(STORE_MISSING, "%s: no such file", name);
        return failed("read", path.text);
    }
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file, &length)) {
        const StoreResult result = failed("read", path.text);
        CloseHandle(file);
        return result;
    }
    *size = static_cast<std::size_t>(length.QuadPart);
    if (*size > buffer.size() || length.QuadPart > MAXDWORD) {
        CloseHandle(file);
        char shown[512];
        to_utf8(path.text, shown);
        return store_result(STORE_TOO_LARGE, "%s: larger than %lu bytes", shown,
                            static_cast<unsigned long>(buffer.size()));
    }
    DWORD read = 0;
    const bool ok = ReadFile(file, buffer.data(), static_cast<DWORD>(*size), &read, nullptr);
    const StoreResult result = ok ? store_ok() : failed("read", path.text);
    CloseHandle(file);
    *size = ok ? read : 0;
    return result;
}

StoreResult platform_store_write(StorePlace place, const char* name, std::span<const char> bytes) {
    if (!store_name_valid(name)) return store_refused_name(name);
    WidePath path, temporary;
    StoreResult failure;
    if (!file_path(place, name, L"", &path, &failure) ||
        !file_path(place, name, L".", &temporary, &failure) || !make_folders(place, &failure))
        return failure;
    const HANDLE file =
        CreateFileW(temporary.text, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failed("write", path.text);
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const DWORD chunk =
            static_cast<DWORD>(bytes.size() - done > (1u << 20) ? (1u << 20) : bytes.size() - done);
        DWORD written = 0;
        ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(file);
    StoreResult result = ok ? store_ok() : failed("write", path.text);
    CloseHandle(file);
    if (ok && !MoveFileExW(temporary.text, path.text, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        result = failed("write", path.text);
        ok = false;
    }
    if (!ok) DeleteFileW(temporary.text);
    return result;
}

StoreResult platform_store_remove(StorePlace place, const char* name) {
    if (!store_name_valid(name)) return store_refused_name(name);
    WidePath path;
    StoreResult failure;
    if (!file_path(place, name, L"", &path, &failure)) return failure;
    if (DeleteFileW(path.text)) return store_ok();
    if (missing(GetLastError())) return store_result(STORE_MISSING, "%s: no such file", name);
    return failed("remove", path.text);
}

StoreResult platform_store_list(StorePlace place, std::span<StoreName> names, std::size_t* count) {
    *count = 0;
    WidePath pattern;
    StoreResult failure;
    if (!file_path(place, "*", L"", &pattern, &failure)) return failure;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(pattern.text, &found);
    if (search == INVALID_HANDLE_VALUE)
        return missing(GetLastError()) ? store_ok() : failed("list", pattern.text);
    StoreResult result = store_ok();
    do {
        StoreName name{};
        to_utf8(found.cFileName, name.text);
        // Temporary dot files, folders and names the store would refuse are not the game's files.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !store_name_valid(name.text)) continue;
        if (*count == names.size()) {
            result = store_result(STORE_TOO_LARGE, "more than %lu files",
                                  static_cast<unsigned long>(names.size()));
            break;
        }
        names[(*count)++] = name;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return result;
}

void platform_store_where(StorePlace place, const char* name, std::span<char> out) {
    if (out.empty()) return;
    WidePath path;
    StoreResult failure;
    if (file_path(place, name, L"", &path, &failure))
        to_utf8(path.text, out);
    else
        std::snprintf(out.data(), out.size(), "(%s)", failure.message);
}
