// Process entry of the browser page. The page calls it once the fullscreen question is answered;
// from then on the browser calls the frame callback once per displayed frame.
#include "app/app.h"
#include "app/room_play.h"
#include "engine/fatal_hook.h"
#include "platform/window.h"

#include <cstring>
#include <emscripten.h>

namespace {

void frame() {
    int exit_code = 0;
    if (!app_frame(&exit_code)) platform_exit(exit_code);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) app_room_link = argv[1]; // the page's room, from its address
    if (argc > 2) app_room_controller = std::strcmp(argv[2], "--controller") == 0;
    if (!app_start(SHOW_DEFAULT)) {
        platform_error_box("", platform_failure_reason()); // the page is the only place to say it
        platform_exit(FATAL_STATUS);
    }
    emscripten_set_main_loop(frame, 0, false);
    return 0;
}
