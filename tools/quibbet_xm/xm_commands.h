// The quibbet-xm commands. Each returns the process exit status and reports a failure as one
// line on standard error.
#pragma once

constexpr int EXIT_BAD_INPUT = 1;
constexpr int EXIT_USAGE = 2;

// Renders a module with the player's own mixer (no device) to a 48 kHz 16-bit stereo WAV file.
int render_command(const char* module_path, const char* wav_path);

// Plays a module through the audio device from the file source, showing order, row, time and
// the level meters, until the song ends or Ctrl-C.
int play_command(const char* module_path);

// Prints the module's figures.
int info_command(const char* module_path);

// The shared failure line: "quibbet-xm: PATH: WHAT". Returns EXIT_BAD_INPUT.
int report_failure(const char* path, const char* what);

// Loads the module from its file for rendering; reports a failure itself.
bool load_for_tool(const char* module_path);
