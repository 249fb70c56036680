// The one-batch renderer: every visible sprite of the pool as two textured triangles from the
// atlas texture, one draw call, then the buffer swap. Main thread, GL context current.
#pragma once

void sprites_render();
