// Process entry of the Windows program: hands the show-command to the application shell.
// The instance handle is the program module, which the backend takes itself; the command
// line is ignored (the program has no options).
#include <windows.h>

int app_main(int show_command); // the application shell (app/app.h) takes over from here

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
    return app_main(show_command);
}
