// The one-batch renderer: every visible sprite of the pool as two textured triangles from the
// atlas texture (image entry 0's slot), one texture bind, one draw call, then the buffer swap.
// Before an atlas is loaded it only swaps. Main thread, GL context current.
#pragma once
#include <cstdint>

// `first`: the pool entries below it are left out (a room's controller draws only its own line).
void sprites_render(int32_t first = 0);
