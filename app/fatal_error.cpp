#include "app/app.h"

#include "platform/window.h"

void fatal_error(const char* caption, const char* text) {
    platform_error_box(caption, text);
    platform_exit(0);
}
