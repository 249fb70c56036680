// quibbet-xm play: the module through the audio device, read from its file as the player's file
// source does, with a status line from the query interface until the song ends or Ctrl-C.
#include "audio/music/mixer.h"
#include "platform/clock.h"
#include "xm_commands.h"

#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {
constexpr int STATUS_PERIOD_MS = 100;
constexpr int METER_WIDTH = 24;
constexpr double METER_FLOOR_DB = -48;

std::atomic<bool> interrupted{false};

void on_interrupt(int) {
    interrupted.store(true);
}

// Average magnitude on a decibel bar: the floor at the left edge, full scale at the right.
std::string meter(uint32_t level) {
    const double db = level ? 20 * std::log10(level / 32767.0) : METER_FLOOR_DB;
    const int filled = static_cast<int>(std::lround(METER_WIDTH * (1 - std::fmin(db, 0) / METER_FLOOR_DB)));
    const int n = filled < 0 ? 0 : filled;
    return std::string(static_cast<size_t>(n), '#') + std::string(static_cast<size_t>(METER_WIDTH - n), ' ');
}

void show_status(bool terminal) {
    const uint32_t position = music_position(), levels = music_levels(), ms = music_time_ms();
    std::printf("order %3u  row %3u  %2u:%02u.%03u  L [%s]  R [%s]%s", position >> 16, position & 0xFFFF,
                ms / 60000, ms / 1000 % 60, ms % 1000, meter(levels >> 16).c_str(),
                meter(levels & 0xFFFF).c_str(), terminal ? "\r" : "\n");
    std::fflush(stdout);
}
} // namespace

int play_command(const char* module_path) {
    // The module is checked first, so a failed start below can only mean the device or thread.
    if (!load_for_tool(module_path, 1)) return EXIT_BAD_INPUT;
    music_unload();
    music_set_volume(MUSIC_VOLUME_LEVELS - 1);
    if (!music_start(module_path, 0, MUSIC_FROM_FILE))
        return report_failure(module_path, "cannot play it: no audio device could be opened");
    std::signal(SIGINT, on_interrupt);
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    // Without a terminal the status goes out once a second, a line each.
    const int period = terminal ? 1 : 1000 / STATUS_PERIOD_MS;
    for (int n = 0; music_playing() && !interrupted.load(); ++n) {
        if (n % period == 0) show_status(terminal);
        platform_sleep_ms(STATUS_PERIOD_MS);
    }
    music_stop();
    if (terminal) std::printf("\n");
    return 0;
}
