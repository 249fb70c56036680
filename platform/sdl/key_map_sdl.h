// SDL keys as the Windows virtual-key codes the game reads.
#pragma once
#include <SDL.h>

// 0 for keys the game has no code for.
int sdl_key_to_virtual_key(SDL_Keycode key);
