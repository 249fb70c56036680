// Process entry of the Linux program. Its one argument is a room link (quibbet://HOST:PORT/CODE),
// as a click on such a link passes it.
#include "platform/window.h"

int app_main(int show_command);    // the application shell (app/app.h) takes over from here
extern const char* app_room_link; // app/room_play.h

int main(int argc, char** argv) {
    if (argc > 1) app_room_link = argv[1];
    return app_main(SHOW_DEFAULT);
}
