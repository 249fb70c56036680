// Process entry of the Windows program: hands the show-command to the application shell.
// The instance handle is the program module, which the backend takes itself; the command
// line is ignored (the program has no options).
#include <windows.h>
#include <mmsystem.h>

int app_main(int show_command); // the application shell (app/app.h) takes over from here

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
    // The loop sleeps until its next tick and the music thread 5 ms a round: without a 1 ms timer
    // period both would sleep whole default timer ticks (about 16 ms) and the ticks would judder.
    timeBeginPeriod(1);
    const int exit_code = app_main(show_command);
    timeEndPeriod(1);
    return exit_code;
}
