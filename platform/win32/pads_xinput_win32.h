// Game pads on Windows through XInput, loaded at run time from the system directory
// (xinput1_4.dll, else xinput9_1_0.dll), so the exe imports nothing beyond what every Windows
// has and runs on as before where neither exists. The four XInput slots are the devices; the
// pad numbers come from the order they were connected (platform/pad_slots.h).
// Called by the window backend only; main thread.
#pragma once
#include "platform/window.h"

#include <windows.h>

// Called once per pass of the main loop, when no message is pending. Connected slots are read
// every call; an empty slot is asked only every EMPTY_SLOT_PROBE_MS, one slot at a time, as
// asking an empty slot is slow on some systems: pads that are not there cost nothing. Presses
// reach the handlers only while `window` is the foreground window, as keys do.
void pads_xinput_poll(HWND window, const WindowHandlers& handlers);
