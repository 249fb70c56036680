#include "game/shutdown.h"

#include "audio/music/music.h"
#include "audio/sfx.h"
#include "game/settings.h"
#include "platform/window.h"

void program_shutdown() {
    settings_keep_at_exit();
    music_stop();
    sfx_close();
    platform_teardown();
}
