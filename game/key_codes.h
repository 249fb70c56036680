// The virtual-key codes the game listens for (every backend reports Windows codes; letters are
// their upper-case character codes) and the mouse buttons.
#pragma once
#include <cstdint>

constexpr int32_t KEY_ESCAPE = 27;
constexpr int32_t KEY_RETURN = 13;
constexpr int32_t KEY_SPACE = 32;
constexpr int32_t KEY_LEFT = 37;
constexpr int32_t KEY_RIGHT = 39;
constexpr int32_t KEY_Q = 'Q';
constexpr int32_t KEY_W = 'W';
constexpr int32_t KEY_U = 'U';
constexpr int32_t KEY_I = 'I';
constexpr int32_t MOUSE_LEFT = 0;
constexpr int32_t MOUSE_RIGHT = 1;
