// Game pads on SDL: pads SDL has a mapping for are read through its game-controller layer,
// other joysticks by their first buttons and first hat. Plugging and unplugging at any time
// arrive as SDL events. Called by the SDL window backend only; main thread.
#pragma once
#include "platform/window.h"

#include <SDL.h>

// Called once SDL is up. Pads present now arrive as events like pads plugged in later; a
// system where SDL cannot read joysticks simply has no pads.
void pads_sdl_start();

// Called for every SDL event the window takes; anything but a pad event is left alone.
void pads_sdl_event(const SDL_Event& event, const WindowHandlers& handlers);

// Called when no event is pending (feeds the test pads when they are switched on).
void pads_sdl_idle();
