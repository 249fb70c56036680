// Process entry of the Linux program. Its one option: --replay [FILE] watches a recorded game
// (the last one without FILE); anything else on the command line is ignored.
#include "platform/window.h"

#include <cstring>

int app_main(int show_command); // the application shell (app/app.h) takes over from here
extern bool replay_requested;   // app/app.h
extern const char* replay_file;

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--replay") != 0) continue;
        replay_requested = true;
        if (i + 1 < argc && argv[i + 1][0] != '-') replay_file = argv[++i];
    }
    return app_main(SHOW_DEFAULT);
}
