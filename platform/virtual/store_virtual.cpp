// The virtual files store: the files live in VirtualPlatform, where a test fills and reads them,
// and its switches make the place unwritable or unreadable.
#include "platform/store_common.h"
#include "virtual_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
const char* const PLACE_NAMES[STORE_PLACE_COUNT] = {"config", "data"};
}

StoreResult platform_store_read(StorePlace place, const char* name, std::span<char> buffer,
                                std::size_t* size) {
    *size = 0;
    if (!store_name_valid(name)) return store_refused_name(name);
    if (virtual_platform().store_unreadable)
        return store_result(STORE_FAILED, "cannot read virtual:%s/%s: scripted failure", PLACE_NAMES[place],
                            name);
    const auto& files = virtual_platform().store[place];
    const auto file = files.find(name);
    if (file == files.end())
        return store_result(STORE_MISSING, "virtual:%s/%s: no such file", PLACE_NAMES[place], name);
    *size = file->second.size();
    if (*size > buffer.size())
        return store_result(STORE_TOO_LARGE, "virtual:%s/%s: larger than %zu bytes", PLACE_NAMES[place], name,
                            buffer.size());
    std::copy(file->second.begin(), file->second.end(), buffer.begin());
    return store_ok();
}

StoreResult platform_store_write(StorePlace place, const char* name, std::span<const char> bytes) {
    if (!store_name_valid(name)) return store_refused_name(name);
    if (virtual_platform().store_unwritable)
        return store_result(STORE_FAILED, "cannot write virtual:%s/%s: scripted failure", PLACE_NAMES[place],
                            name);
    virtual_platform().store[place][name].assign(bytes.begin(), bytes.end());
    return store_ok();
}

StoreResult platform_store_remove(StorePlace place, const char* name) {
    if (!store_name_valid(name)) return store_refused_name(name);
    if (virtual_platform().store_unwritable)
        return store_result(STORE_FAILED, "cannot remove virtual:%s/%s: scripted failure", PLACE_NAMES[place],
                            name);
    if (virtual_platform().store[place].erase(name) == 0)
        return store_result(STORE_MISSING, "virtual:%s/%s: no such file", PLACE_NAMES[place], name);
    return store_ok();
}

StoreResult platform_store_list(StorePlace place, std::span<StoreName> names, std::size_t* count) {
    *count = 0;
    if (virtual_platform().store_unreadable)
        return store_result(STORE_FAILED, "cannot list virtual:%s: scripted failure", PLACE_NAMES[place]);
    for (const auto& [name, bytes] : virtual_platform().store[place]) {
        if (*count == names.size())
            return store_result(STORE_TOO_LARGE, "virtual:%s: more than %zu files", PLACE_NAMES[place],
                                names.size());
        std::snprintf(names[*count].text, sizeof names[*count].text, "%s", name.c_str());
        ++*count;
    }
    return store_ok();
}

void platform_store_where(StorePlace place, const char* name, std::span<char> out) {
    if (!out.empty()) std::snprintf(out.data(), out.size(), "virtual:%s/%s", PLACE_NAMES[place], name);
}
