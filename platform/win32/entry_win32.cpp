// Process entry of the Windows program: hands the show-command to the application shell.
// The instance handle is the program module, which the backend takes itself. Its options:
// --replay [FILE] watches a recorded game (the last one without FILE); a room link
// (quibbet://HOST:PORT/CODE) joins that room, with --controller as a controller (turns only, no
// game shown). Anything else on the command line is ignored.
#include <windows.h>

#include <mmsystem.h> // after windows.h, whose types it uses

#include <cstdlib>
#include <cstring>

int app_main(int show_command);    // the application shell (app/app.h) takes over from here
extern bool replay_requested;      // app/app.h
extern const char* replay_file;
extern const char* app_room_link; // app/room_play.h
extern bool app_room_controller;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
    for (int i = 1; i < __argc; ++i) {
        if (std::strncmp(__argv[i], "quibbet", 7) == 0) app_room_link = __argv[i];
        if (std::strcmp(__argv[i], "--controller") == 0) app_room_controller = true;
        if (std::strcmp(__argv[i], "--replay") != 0) continue;
        replay_requested = true;
        if (i + 1 < __argc && __argv[i + 1][0] != '-') replay_file = __argv[++i];
    }
    // The loop sleeps until its next tick and the music thread 5 ms a round: without a 1 ms timer
    // period both would sleep whole default timer ticks (about 16 ms) and the ticks would judder.
    timeBeginPeriod(1);
    const int exit_code = app_main(show_command);
    timeEndPeriod(1);
    return exit_code;
}
