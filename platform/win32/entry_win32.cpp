// Process entry of the Windows program: hands the show-command to the application shell.
// The instance handle is the program module, which the backend takes itself; the command
// line's one argument is a room link (quibbet://HOST:PORT/CODE), quoted or not.
#include <windows.h>
#include <mmsystem.h>

#include <string>

int app_main(int show_command);    // the application shell (app/app.h) takes over from here
extern const char* app_room_link; // app/room_play.h

namespace {

// The first argument of the command line, without its quotes; empty when there is none.
std::string first_argument(const char* line) {
    std::string text(line ? line : "");
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    if (text[start] == '"') {
        const size_t end = text.find('"', start + 1);
        return text.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    }
    return text.substr(start, text.find_first_of(" \t", start) - start);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int show_command) {
    static const std::string link = first_argument(command_line);
    if (!link.empty()) app_room_link = link.c_str();
    // The loop sleeps until its next tick and the music thread 5 ms a round: without a 1 ms timer
    // period both would sleep whole default timer ticks (about 16 ms) and the ticks would judder.
    timeBeginPeriod(1);
    const int exit_code = app_main(show_command);
    timeEndPeriod(1);
    return exit_code;
}
