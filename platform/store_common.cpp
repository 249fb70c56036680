// The files store's name rule and results, the same on every backend.
#include "platform/store_common.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

bool store_name_valid(const char* name) {
    if (!name || name[0] == '\0' || name[0] == '.') return false;
    std::size_t length = 0;
    for (const char* c = name; *c; ++c, ++length) {
        const bool plain = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') ||
                           *c == '.' || *c == '_' || *c == '-';
        if (!plain || length >= STORE_NAME_MAX) return false;
    }
    return true;
}

StoreResult store_ok() {
    return StoreResult{STORE_OK, {}};
}

StoreResult store_result(StoreStatus status, const char* format, ...) {
    StoreResult result{status, {}};
    va_list args;
    va_start(args, format);
    std::vsnprintf(result.message, sizeof result.message, format, args);
    va_end(args);
    return result;
}

StoreResult store_refused_name(const char* name) {
    // Only the printable start of a hostile name goes into the message.
    char shown[STORE_NAME_MAX + 1] = {};
    for (std::size_t i = 0; name && name[i] && i < STORE_NAME_MAX; ++i)
        shown[i] = (name[i] >= ' ' && name[i] <= '~') ? name[i] : '?';
    return store_result(STORE_FAILED, "refused file name \"%s\"", shown);
}
