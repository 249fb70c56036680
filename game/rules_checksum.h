// The step checksum: a 64-bit hash of the rules' state (tiles and their wear, the players'
// cells, facings, falls and scores, the drawn turn the computer players read, the round and the
// step clock, the computer players' slots, plans and chances, the scene). Taken after a tick, it
// is the same on every build for the same start and inputs: machines that play one game compare
// it, and a replay prints it. Field by field, never padding. Main thread only.
#pragma once
#include <cstdint>

uint64_t rules_checksum();
