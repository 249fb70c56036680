#include "engine/fatal_hook.h"

#include "platform/window.h"

FatalHandler engine_fatal_handler = nullptr;

void engine_fatal(const char* caption, const char* text) {
    if (engine_fatal_handler) engine_fatal_handler(caption, text);
    // Reached without a handler, or if a handler broke its promise: the process still ends.
    platform_error_box(caption, text);
    platform_exit(FATAL_STATUS);
}
