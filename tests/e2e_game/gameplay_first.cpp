// The real program started straight in the gameplay scene (the menu over level 0), for the
// screenshot test; the intro and the title screen come before it in the program itself.
#include "app/app.h"
#include "platform/window.h"

int main() {
    first_scene = "gameplay";
    return app_main(SHOW_DEFAULT);
}
