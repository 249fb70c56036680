// Drum parts on the triplet grid: a bar to a string of twelve steps, three a beat at rows 0, 3 and
// 5 (the swung eighths are steps 0 and 2 of each beat). Each character names a hit of the kit;
// '.' is silence. A malformed bar stops the composer with a message naming it.
//   kick   x hit  X accent  o soft
//   snare  x hit  X accent  o ghost
//   hats   c closed  C accented  g ghost  o open
//   toms   1 high  2 middle  3 low  4 floor, each bending down as it rings
//   crash  x hit  o soft
#pragma once
#include "score.h"

#include <initializer_list>
#include <string_view>
#include <vector>

enum class Drum { KICK, SNARE, HATS, TOMS, CRASH };

void drum_bars(Score& score, Drum drum, int channel, int first_bar,
               std::initializer_list<std::string_view> bars);

// The same bar `count` times.
void drum_repeat(Score& score, Drum drum, int channel, int first_bar, int count, std::string_view bar);

// A snare roll on `channel`: a hit every `every` rows over [from_row, to_row), rising in volume.
void snare_roll(Score& score, int channel, int from_row, int to_row, int every, int from_volume,
                int to_volume);
