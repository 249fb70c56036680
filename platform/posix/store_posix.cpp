// The files store on Linux: the XDG places, each write a temporary dot file beside the target,
// flushed and then renamed over it, so a crash or a full disk leaves the old file whole.
#include "platform/store_common.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t PATH_BYTES = 4096;

struct Path {
    char text[PATH_BYTES];
};

// The place's folder, or false with the reason in folder->text.
bool place_folder(StorePlace place, Path* folder) {
    const char* xdg = std::getenv(place == STORE_CONFIG ? "XDG_CONFIG_HOME" : "XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    int written = 0;
    // A relative XDG value is to be ignored, as if unset.
    if (xdg && xdg[0] == '/')
        written = std::snprintf(folder->text, PATH_BYTES, "%s/quibbet", xdg);
    else if (home && home[0] == '/')
        written = std::snprintf(folder->text, PATH_BYTES, "%s/%s/quibbet", home,
                                place == STORE_CONFIG ? ".config" : ".local/share");
    else {
        std::snprintf(folder->text, PATH_BYTES, "no folder for the game's files (HOME is not set)");
        return false;
    }
    if (written < 0 || static_cast<std::size_t>(written) >= PATH_BYTES) {
        std::snprintf(folder->text, PATH_BYTES, "the folder for the game's files has too long a name");
        return false;
    }
    return true;
}

bool file_path(StorePlace place, const char* name, const char* prefix, Path* path, StoreResult* failure) {
    Path folder;
    if (!place_folder(place, &folder)) {
        *failure = store_result(STORE_FAILED, "%s", folder.text);
        return false;
    }
    const int written = std::snprintf(path->text, PATH_BYTES, "%s/%s%s", folder.text, prefix, name);
    if (written < 0 || static_cast<std::size_t>(written) >= PATH_BYTES) {
        *failure = store_result(STORE_FAILED, "%s/%s: name too long", folder.text, name);
        return false;
    }
    return true;
}

// mkdir -p of the folder, private to the user as the XDG places ask.
bool make_folders(Path folder, StoreResult* failure) {
    for (char* c = folder.text + 1;; ++c) {
        if (*c != '/' && *c != '\0') continue;
        const char kept = *c;
        *c = '\0';
        if (mkdir(folder.text, 0700) != 0 && errno != EEXIST) {
            *failure = store_result(STORE_FAILED, "cannot make the folder %s: %s", folder.text,
                                    std::strerror(errno));
            return false;
        }
        *c = kept;
        if (kept == '\0') return true;
    }
}

bool write_all(int fd, std::span<const char> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

StoreResult platform_store_read(StorePlace place, const char* name, std::span<char> buffer,
                                std::size_t* size) {
    *size = 0;
    if (!store_name_valid(name)) return store_refused_name(name);
    Path path;
    StoreResult failure;
    if (!file_path(place, name, "", &path, &failure)) return failure;
    const int fd = open(path.text, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return store_result(STORE_MISSING, "%s: no such file", path.text);
        return store_result(STORE_FAILED, "cannot read %s: %s", path.text, std::strerror(errno));
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return store_result(STORE_FAILED, "cannot read %s: not a plain file", path.text);
    }
    *size = static_cast<std::size_t>(info.st_size);
    if (*size > buffer.size()) {
        close(fd);
        return store_result(STORE_TOO_LARGE, "%s: larger than %zu bytes", path.text, buffer.size());
    }
    std::size_t done = 0;
    while (done < *size) {
        const ssize_t n = ::read(fd, buffer.data() + done, *size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            close(fd);
            *size = 0;
            return store_result(STORE_FAILED, "cannot read %s: %s", path.text, std::strerror(error));
        }
        if (n == 0) break; // shrank meanwhile: what is there is the file
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    *size = done;
    return store_ok();
}

StoreResult platform_store_write(StorePlace place, const char* name, std::span<const char> bytes) {
    if (!store_name_valid(name)) return store_refused_name(name);
    Path folder, path, temporary;
    StoreResult failure;
    if (!file_path(place, name, "", &path, &failure) || !file_path(place, name, ".", &temporary, &failure))
        return failure;
    place_folder(place, &folder);
    if (!make_folders(folder, &failure)) return failure;
    const int fd = open(temporary.text, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return store_result(STORE_FAILED, "cannot write %s: %s", path.text, std::strerror(errno));
    const bool written = write_all(fd, bytes) && fsync(fd) == 0;
    const int error = errno;
    if (close(fd) != 0 || !written) {
        unlink(temporary.text);
        return store_result(STORE_FAILED, "cannot write %s: %s", path.text,
                            std::strerror(written ? errno : error));
    }
    if (rename(temporary.text, path.text) != 0) {
        const int rename_error = errno;
        unlink(temporary.text);
        return store_result(STORE_FAILED, "cannot write %s: %s", path.text, std::strerror(rename_error));
    }
    return store_ok();
}

StoreResult platform_store_remove(StorePlace place, const char* name) {
    if (!store_name_valid(name)) return store_refused_name(name);
    Path path;
    StoreResult failure;
    if (!file_path(place, name, "", &path, &failure)) return failure;
    if (unlink(path.text) == 0) return store_ok();
    if (errno == ENOENT) return store_result(STORE_MISSING, "%s: no such file", path.text);
    return store_result(STORE_FAILED, "cannot remove %s: %s", path.text, std::strerror(errno));
}

StoreResult platform_store_list(StorePlace place, std::span<StoreName> names, std::size_t* count) {
    *count = 0;
    Path folder;
    if (!place_folder(place, &folder)) return store_result(STORE_FAILED, "%s", folder.text);
    DIR* dir = opendir(folder.text);
    if (!dir) {
        if (errno == ENOENT) return store_ok();
        return store_result(STORE_FAILED, "cannot list %s: %s", folder.text, std::strerror(errno));
    }
    StoreResult result = store_ok();
    while (const dirent* entry = readdir(dir)) {
        struct stat info {};
        // Temporary dot files, folders and names the store would refuse are not the game's files.
        if (!store_name_valid(entry->d_name) || fstatat(dirfd(dir), entry->d_name, &info, 0) != 0 ||
            !S_ISREG(info.st_mode))
            continue;
        if (*count == names.size()) {
            result = store_result(STORE_TOO_LARGE, "%s: more than %zu files", folder.text, names.size());
            break;
        }
        std::snprintf(names[*count].text, sizeof names[*count].text, "%.63s", entry->d_name);
        ++*count;
    }
    closedir(dir);
    return result;
}

void platform_store_where(StorePlace place, const char* name, std::span<char> out) {
    if (out.empty()) return;
    Path folder;
    if (!place_folder(place, &folder))
        std::snprintf(out.data(), out.size(), "(%s)", folder.text);
    else
        std::snprintf(out.data(), out.size(), "%s/%s", folder.text, name);
}
