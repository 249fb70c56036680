// Builds the global song from a module source: header checks, patterns, instruments and samples
// converted to 16-bit points with their loop guard points. Everything comes from the arena.
// Threads: called by music_start on the game thread before the output thread exists.
#pragma once
#include "audio/music/module_source.h"
#include "audio/music/song.h"

extern Song song;

// Stands in wherever a keymap names a sample that does not exist; playing it is silent.
extern const SampleRecord empty_sample;

// Opens the source and replaces the whole song record (song.loop and song.ended are cleared:
// music_start sets the loop flag after a successful load). False on any failed check or
// allocation; the caller then closes the source and destroys the arena.
bool load_module(ModuleSource& source);
