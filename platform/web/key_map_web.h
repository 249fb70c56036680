// Browser key presses as the Windows virtual-key codes the game reads, by the rule of the
// desktop builds: on a Latin layout, what the layout's key says (KeyboardEvent.key) where it
// names a key with a code, and where it says nothing we know, letters and digits by the physical
// key (KeyboardEvent.code), as Windows gives them; on a layout of another script the 26 letter
// keys count by their place, whatever they give. Plain functions, so tests run them natively.
#pragma once

// The code a key without one of its own reports, as on Windows: a press that matches no control.
constexpr int WEB_VK_UNMAPPED = 0xFF;

// What a press shows of the layout, given what was known before: a letter key giving a Latin
// letter shows a Latin layout, one giving a character beyond ASCII (a letter of another script)
// shows another; punctuation and named keys show nothing. The page also asks the browser's
// layout map where it has one, which knows before the first press.
bool web_layout_seen(const char* key, const char* code, bool latin_layout);

// key and code as the browser gives them, e.g. ("q", "KeyQ"), ("ArrowLeft", "ArrowLeft"),
// ("й", "KeyQ"). Null is taken as empty.
int web_key_to_virtual_key(const char* key, const char* code, bool latin_layout);
