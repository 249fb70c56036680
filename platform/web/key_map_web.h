// Browser key presses as the Windows virtual-key codes the game reads, by the rule of the
// desktop builds: what the layout's key says (KeyboardEvent.key) where it names a key with a
// code, and where it says nothing we know, letters and digits by the physical key
// (KeyboardEvent.code), as Windows gives them. Plain functions, so tests run them natively.
#pragma once

// The code a key without one of its own reports, as on Windows: a press that matches no control.
constexpr int WEB_VK_UNMAPPED = 0xFF;

// key and code as the browser gives them, e.g. ("q", "KeyQ"), ("ArrowLeft", "ArrowLeft"),
// ("й", "KeyQ"). Null is taken as empty.
int web_key_to_virtual_key(const char* key, const char* code);
