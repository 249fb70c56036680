// The whole module: the arranged score cut into patterns, the instruments, and the header figures.
#pragma once
#include "tools/xm_writer/xm_writer.h"

// Patterns in the file; the orders play the first SONG_ORDERS of them, one each, and the rest are
// stored empty.
constexpr int SONG_PATTERNS = 24;

xm::Module song_module();
