// Process entry of the Linux program. The program takes no options.
#include "platform/window.h"

int app_main(int show_command); // the application shell (app/app.h) takes over from here

int main(int, char**) { return app_main(SHOW_DEFAULT); }
