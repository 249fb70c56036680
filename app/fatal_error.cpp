#include "app/app.h"

#include "engine/fatal_hook.h"
#include "platform/window.h"

#include <cstdio>

void fatal_error(const char* caption, const char* text) {
    // Also on standard error, first: the box may not show, or may wait for a player who is not there.
    std::fprintf(stderr, "quibbet: %s%s%s\n", caption, *caption ? ": " : "", text);
    platform_error_box(caption, text);
    platform_exit(FATAL_STATUS);
}
