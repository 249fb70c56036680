// The quibbet-xm commands. Each returns the process exit status and reports a failure as one
// line on standard error.
#pragma once

constexpr int EXIT_BAD_INPUT = 1;
constexpr int EXIT_USAGE = 2;
// render and info stop a song that never comes back to a played row (a pattern loop that never
// ends) after this long.
constexpr int SONG_LIMIT_MINUTES = 30;

// Renders a module with the player's own mixer (no device) to a 48 kHz 16-bit stereo WAV file:
// the song played `loops` times (see load_for_tool), its last notes faded out.
int render_command(const char* module_path, const char* wav_path, int loops);

// Plays a module through the audio device from the file source, showing order, row, time and
// the level meters, until the song ends or Ctrl-C.
int play_command(const char* module_path);

// Prints the module's figures and how long it plays `loops` times.
int info_command(const char* module_path, int loops);

// The shared failure line: "quibbet-xm: PATH: WHAT". Returns EXIT_BAD_INPUT.
int report_failure(const char* path, const char* what);

// Loads the module from its file for rendering; reports a failure itself. The song is played
// `loops` times, as other players measure a song: it ends when it comes back to an order and
// row already played for the loops-th time (running past its last order goes back to the
// restart order, which counts as such a return).
bool load_for_tool(const char* module_path, int loops);
