// The song itself: its chords, tunes and parts, section by section, in one score.
#pragma once
#include "score.h"

Score arrange_song();
