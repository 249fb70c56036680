// Loading a module file for the tool, with a plain message when it cannot be used.
#include "audio/music/mixer.h"
#include "audio/music/sequencer.h"
#include "xm_commands.h"

#include <cstdio>

int report_failure(const char* path, const char* what) {
    std::fprintf(stderr, "quibbet-xm: %s: %s\n", path, what);
    return EXIT_BAD_INPUT;
}

bool load_for_tool(const char* module_path, int loops) {
    std::FILE* probe = std::fopen(module_path, "rb");
    if (!probe) {
        report_failure(module_path, "cannot open the file");
        return false;
    }
    std::fclose(probe);
    if (music_load(module_path, 0, MUSIC_FROM_FILE | MUSIC_LOOP)) {
        sequencer_end_on_return(loops);
        return true;
    }
    report_failure(module_path, "not a module this player can load");
    return false;
}
