#include "platform/desktop/key_codes.h"

#include <array>

namespace {

struct KeyCode {
  SDL_Keycode key;
  int code;             // Windows virtual-key code
  int codeNumLockOff;   // keypad keys with Num Lock off; 0: same as code
};

// Keys other than letters and main-row digits, which follow their ASCII
// capitals and are worked out below.
constexpr std::array keyTable = {
    KeyCode{SDLK_BACKSPACE, 8, 0},     KeyCode{SDLK_TAB, 9, 0},
    KeyCode{SDLK_RETURN, 13, 0},       KeyCode{SDLK_KP_ENTER, 13, 0},
    KeyCode{SDLK_LSHIFT, 16, 0},       KeyCode{SDLK_RSHIFT, 16, 0},
    KeyCode{SDLK_LCTRL, 17, 0},        KeyCode{SDLK_RCTRL, 17, 0},
    KeyCode{SDLK_LALT, 18, 0},         KeyCode{SDLK_RALT, 18, 0},
    KeyCode{SDLK_PAUSE, 19, 0},        KeyCode{SDLK_CAPSLOCK, 20, 0},
    KeyCode{SDLK_ESCAPE, 27, 0},       KeyCode{SDLK_SPACE, 32, 0},
    KeyCode{SDLK_PAGEUP, 33, 0},       KeyCode{SDLK_PAGEDOWN, 34, 0},
    KeyCode{SDLK_END, 35, 0},          KeyCode{SDLK_HOME, 36, 0},
    KeyCode{SDLK_LEFT, 37, 0},         KeyCode{SDLK_UP, 38, 0},
    KeyCode{SDLK_RIGHT, 39, 0},        KeyCode{SDLK_DOWN, 40, 0},
    KeyCode{SDLK_INSERT, 45, 0},       KeyCode{SDLK_DELETE, 46, 0},
    KeyCode{SDLK_LGUI, 91, 0},         KeyCode{SDLK_RGUI, 92, 0},
    KeyCode{SDLK_APPLICATION, 93, 0},
    KeyCode{SDLK_KP_0, 96, 45},        KeyCode{SDLK_KP_1, 97, 35},
    KeyCode{SDLK_KP_2, 98, 40},        KeyCode{SDLK_KP_3, 99, 34},
    KeyCode{SDLK_KP_4, 100, 37},       KeyCode{SDLK_KP_5, 101, 12},
    KeyCode{SDLK_KP_6, 102, 39},       KeyCode{SDLK_KP_7, 103, 36},
    KeyCode{SDLK_KP_8, 104, 38},       KeyCode{SDLK_KP_9, 105, 33},
    KeyCode{SDLK_KP_MULTIPLY, 106, 0}, KeyCode{SDLK_KP_PLUS, 107, 0},
    KeyCode{SDLK_KP_MINUS, 109, 0},    KeyCode{SDLK_KP_PERIOD, 110, 46},
    KeyCode{SDLK_KP_DIVIDE, 111, 0},
    KeyCode{SDLK_F1, 112, 0},          KeyCode{SDLK_F2, 113, 0},
    KeyCode{SDLK_F3, 114, 0},          KeyCode{SDLK_F4, 115, 0},
    KeyCode{SDLK_F5, 116, 0},          KeyCode{SDLK_F6, 117, 0},
    KeyCode{SDLK_F7, 118, 0},          KeyCode{SDLK_F8, 119, 0},
    KeyCode{SDLK_F9, 120, 0},          KeyCode{SDLK_F10, 121, 0},
    KeyCode{SDLK_F11, 122, 0},         KeyCode{SDLK_F12, 123, 0},
    KeyCode{SDLK_NUMLOCKCLEAR, 144, 0}, KeyCode{SDLK_SCROLLLOCK, 145, 0},
    KeyCode{SDLK_SEMICOLON, 186, 0},   KeyCode{SDLK_EQUALS, 187, 0},
    KeyCode{SDLK_COMMA, 188, 0},       KeyCode{SDLK_MINUS, 189, 0},
    KeyCode{SDLK_PERIOD, 190, 0},      KeyCode{SDLK_SLASH, 191, 0},
    KeyCode{SDLK_BACKQUOTE, 192, 0},   KeyCode{SDLK_LEFTBRACKET, 219, 0},
    KeyCode{SDLK_BACKSLASH, 220, 0},   KeyCode{SDLK_RIGHTBRACKET, 221, 0},
    KeyCode{SDLK_QUOTE, 222, 0},
};

}  // namespace

int virtualKeyCode(SDL_Keycode key, Uint16 modifiers) {
  // SDL names a letter key by its small letter whatever the shift state.
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  for (const auto& entry : keyTable) {
    if (entry.key != key) continue;
    bool numLockOff = (modifiers & KMOD_NUM) == 0;
    return numLockOff && entry.codeNumLockOff != 0 ? entry.codeNumLockOff : entry.code;
  }
  return 0;
}
