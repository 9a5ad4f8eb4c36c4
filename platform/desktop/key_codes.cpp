#include "platform/desktop/key_codes.h"

#include <array>

#include "platform/virtual_keys.h"

namespace {

struct KeyCode {
  SDL_Keycode key;
  int code;            // Windows virtual-key code
  int codeNumLockOff;  // keypad keys with Num Lock off; 0: same as code
};

// Keys other than letters and main-row digits, which follow their ASCII
// capitals and are worked out below.
constexpr std::array keyTable = {
    KeyCode{SDLK_BACKSPACE, key::backspace, 0},
    KeyCode{SDLK_TAB, key::tab, 0},
    KeyCode{SDLK_RETURN, key::enter, 0},
    KeyCode{SDLK_KP_ENTER, key::enter, 0},
    KeyCode{SDLK_LSHIFT, key::shift, 0},
    KeyCode{SDLK_RSHIFT, key::shift, 0},
    KeyCode{SDLK_LCTRL, key::ctrl, 0},
    KeyCode{SDLK_RCTRL, key::ctrl, 0},
    KeyCode{SDLK_LALT, key::alt, 0},
    KeyCode{SDLK_RALT, key::alt, 0},
    KeyCode{SDLK_PAUSE, key::pause, 0},
    KeyCode{SDLK_CAPSLOCK, key::capsLock, 0},
    KeyCode{SDLK_ESCAPE, key::escape, 0},
    KeyCode{SDLK_SPACE, key::space, 0},
    KeyCode{SDLK_PAGEUP, key::pageUp, 0},
    KeyCode{SDLK_PAGEDOWN, key::pageDown, 0},
    KeyCode{SDLK_END, key::end, 0},
    KeyCode{SDLK_HOME, key::home, 0},
    KeyCode{SDLK_LEFT, key::left, 0},
    KeyCode{SDLK_UP, key::up, 0},
    KeyCode{SDLK_RIGHT, key::right, 0},
    KeyCode{SDLK_DOWN, key::down, 0},
    KeyCode{SDLK_INSERT, key::insert, 0},
    KeyCode{SDLK_DELETE, key::del, 0},
    KeyCode{SDLK_LGUI, key::leftWindows, 0},
    KeyCode{SDLK_RGUI, key::rightWindows, 0},
    KeyCode{SDLK_APPLICATION, key::applications, 0},
    KeyCode{SDLK_KP_0, key::keypad0, key::insert},
    KeyCode{SDLK_KP_1, key::keypad0 + 1, key::end},
    KeyCode{SDLK_KP_2, key::keypad0 + 2, key::down},
    KeyCode{SDLK_KP_3, key::keypad0 + 3, key::pageDown},
    KeyCode{SDLK_KP_4, key::keypad0 + 4, key::left},
    KeyCode{SDLK_KP_5, key::keypad0 + 5, key::clear},
    KeyCode{SDLK_KP_6, key::keypad0 + 6, key::right},
    KeyCode{SDLK_KP_7, key::keypad0 + 7, key::home},
    KeyCode{SDLK_KP_8, key::keypad0 + 8, key::up},
    KeyCode{SDLK_KP_9, key::keypad0 + 9, key::pageUp},
    KeyCode{SDLK_KP_MULTIPLY, key::keypadMultiply, 0},
    KeyCode{SDLK_KP_PLUS, key::keypadPlus, 0},
    KeyCode{SDLK_KP_MINUS, key::keypadMinus, 0},
    KeyCode{SDLK_KP_PERIOD, key::keypadPoint, key::del},
    KeyCode{SDLK_KP_DIVIDE, key::keypadDivide, 0},
    KeyCode{SDLK_F1, key::f1, 0},
    KeyCode{SDLK_F2, key::f2, 0},
    KeyCode{SDLK_F3, key::f3, 0},
    KeyCode{SDLK_F4, key::f4, 0},
    KeyCode{SDLK_F5, key::f5, 0},
    KeyCode{SDLK_F6, key::f6, 0},
    KeyCode{SDLK_F7, key::f7, 0},
    KeyCode{SDLK_F8, key::f8, 0},
    KeyCode{SDLK_F9, key::f9, 0},
    KeyCode{SDLK_F10, key::f10, 0},
    KeyCode{SDLK_F11, key::f11, 0},
    KeyCode{SDLK_F12, key::f12, 0},
    KeyCode{SDLK_NUMLOCKCLEAR, key::numLock, 0},
    KeyCode{SDLK_SCROLLLOCK, key::scrollLock, 0},
    KeyCode{SDLK_SEMICOLON, key::semicolon, 0},
    KeyCode{SDLK_EQUALS, key::equals, 0},
    KeyCode{SDLK_COMMA, key::comma, 0},
    KeyCode{SDLK_MINUS, key::minus, 0},
    KeyCode{SDLK_PERIOD, key::point, 0},
    KeyCode{SDLK_SLASH, key::slash, 0},
    KeyCode{SDLK_BACKQUOTE, key::backquote, 0},
    KeyCode{SDLK_LEFTBRACKET, key::leftBracket, 0},
    KeyCode{SDLK_BACKSLASH, key::backslash, 0},
    KeyCode{SDLK_RIGHTBRACKET, key::rightBracket, 0},
    KeyCode{SDLK_QUOTE, key::quote, 0},
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
