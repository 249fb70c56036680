#include "game/shutdown.h"

#include "audio/music/music.h"
#include "audio/sfx.h"
#include "platform/window.h"

void program_shutdown() {
    music_stop();
    sfx_close();
    platform_teardown();
}
