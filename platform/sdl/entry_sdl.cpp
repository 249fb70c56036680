// Process entry of the Linux program. Its options: --replay [FILE] watches a recorded game (the
// last one without FILE); a room link (quibbet://HOST:PORT/CODE), as a click on such a link
// passes it, joins that room, with --controller as a controller (turns only, no game shown).
// Anything else on the command line is ignored.
#include "platform/window.h"

#include <cstring>

int app_main(int show_command);    // the application shell (app/app.h) takes over from here
extern bool replay_requested;      // app/app.h
extern const char* replay_file;
extern const char* app_room_link; // app/room_play.h
extern bool app_room_controller;

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "quibbet", 7) == 0) app_room_link = argv[i];
        if (std::strcmp(argv[i], "--controller") == 0) app_room_controller = true;
        if (std::strcmp(argv[i], "--replay") != 0) continue;
        replay_requested = true;
        if (i + 1 < argc && argv[i + 1][0] != '-') replay_file = argv[++i];
    }
    return app_main(SHOW_DEFAULT);
}
