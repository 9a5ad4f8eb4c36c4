// SDL key codes turned into the Windows virtual-key codes the key map
// compares against.
#pragma once

#include <SDL.h>

// The virtual-key code of a key, 0 for a key the table does not know.
// Letters give their capital's code and main-row digits their digit's,
// whatever Shift and Caps Lock say; keypad keys give 96..111 with Num Lock
// on and the codes of the arrow, page and Insert keys with it off.
int virtualKeyCode(SDL_Keycode key, Uint16 modifiers);
