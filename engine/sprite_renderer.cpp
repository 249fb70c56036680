#include "engine/sprite_renderer.h"

#include "platform/window.h"

void sprites_render() { platform_swap_buffers(); }
