// The files store in the browser: the page's localStorage, one item per file under the key
// "quibbet/<place>/<name>", each byte one character. An item is replaced in one step, so a
// write is whole or not at all; a full or forbidden storage is a failure with its message.
#include "platform/store_common.h"

#include <cstdio>
#include <cstring>
#include <emscripten.h>

namespace {

constexpr std::size_t KEY_BYTES = 96;
const char* const PLACE_NAMES[STORE_PLACE_COUNT] = {"config", "data"};

struct Key {
    char text[KEY_BYTES];
};

Key key_of(StorePlace place, const char* name) {
    Key key;
    std::snprintf(key.text, sizeof key.text, "quibbet/%s/%s", PLACE_NAMES[place], name);
    return key;
}

} // namespace

// The item's length, -1 when there is none, -2 when the page's storage cannot be used.
EM_JS(double, page_store_size, (const char* key), {
    try {
        const value = localStorage.getItem(UTF8ToString(key));
        return value == null ? -1 : value.length;
    } catch (e) {
        return -2;
    }
});
EM_JS(void, page_store_copy, (const char* key, char* out, int capacity), {
    const value = localStorage.getItem(UTF8ToString(key)) || "";
    const n = Math.min(value.length, capacity);
    for (let i = 0; i < n; ++i)
        HEAPU8[out + i] = value.charCodeAt(i) & 255;
});
// 0 when written, 1 when the storage refused (full, or forbidden to this page).
EM_JS(int, page_store_put, (const char* key, const char* bytes, int length), {
    let value = "";
    for (let i = 0; i < length; i += 8192)
        value +=
            String.fromCharCode.apply(null, HEAPU8.subarray(bytes + i, bytes + Math.min(length, i + 8192)));
    try {
        localStorage.setItem(UTF8ToString(key), value);
        return 0;
    } catch (e) {
        return 1;
    }
});
// 0 removed, -1 there was none, -2 the storage cannot be used.
EM_JS(int, page_store_drop, (const char* key), {
    try {
        const name = UTF8ToString(key);
        if (localStorage.getItem(name) == null) return -1;
        localStorage.removeItem(name);
        return 0;
    } catch (e) {
        return -2;
    }
});
// The number of items, -2 when the storage cannot be used; page_store_key copies the i-th key.
EM_JS(int, page_store_count, (), {
    try {
        return localStorage.length;
    } catch (e) {
        return -2;
    }
});
EM_JS(void, page_store_key, (int index, char* out, int capacity),
      { stringToUTF8(localStorage.key(index) || "", out, capacity); });

StoreResult platform_store_read(StorePlace place, const char* name, std::span<char> buffer,
                                std::size_t* size) {
    *size = 0;
    if (!store_name_valid(name)) return store_refused_name(name);
    const Key key = key_of(place, name);
    const double length = page_store_size(key.text);
    if (length == -2)
        return store_result(STORE_FAILED, "cannot read %s: the page's storage is not available", key.text);
    if (length < 0) return store_result(STORE_MISSING, "%s: no such item", key.text);
    *size = static_cast<std::size_t>(length);
    if (*size > buffer.size())
        return store_result(STORE_TOO_LARGE, "%s: larger than %zu bytes", key.text, buffer.size());
    page_store_copy(key.text, buffer.data(), static_cast<int>(*size));
    return store_ok();
}

StoreResult platform_store_write(StorePlace place, const char* name, std::span<const char> bytes) {
    if (!store_name_valid(name)) return store_refused_name(name);
    const Key key = key_of(place, name);
    if (page_store_put(key.text, bytes.data(), static_cast<int>(bytes.size())) != 0)
        return store_result(STORE_FAILED, "cannot write %s: the page's storage is full or not allowed",
                            key.text);
    return store_ok();
}

StoreResult platform_store_remove(StorePlace place, const char* name) {
    if (!store_name_valid(name)) return store_refused_name(name);
    const Key key = key_of(place, name);
    const int dropped = page_store_drop(key.text);
    if (dropped == -1) return store_result(STORE_MISSING, "%s: no such item", key.text);
    if (dropped != 0)
        return store_result(STORE_FAILED, "cannot remove %s: the page's storage is not available", key.text);
    return store_ok();
}

StoreResult platform_store_list(StorePlace place, std::span<StoreName> names, std::size_t* count) {
    *count = 0;
    const int items = page_store_count();
    if (items < 0) return store_result(STORE_FAILED, "cannot list the page's storage: not available");
    char prefix[32];
    const int prefix_length = std::snprintf(prefix, sizeof prefix, "quibbet/%s/", PLACE_NAMES[place]);
    for (int i = 0; i < items; ++i) {
        Key key;
        page_store_key(i, key.text, sizeof key.text);
        const char* name = key.text + prefix_length;
        if (std::strncmp(key.text, prefix, prefix_length) != 0 || !store_name_valid(name)) continue;
        if (*count == names.size())
            return store_result(STORE_TOO_LARGE, "more than %zu items in the page's storage", names.size());
        std::snprintf(names[*count].text, sizeof names[*count].text, "%s", name);
        ++*count;
    }
    return store_ok();
}

void platform_store_where(StorePlace place, const char* name, std::span<char> out) {
    if (!out.empty())
        std::snprintf(out.data(), out.size(), "the page's storage, item %s", key_of(place, name).text);
}
