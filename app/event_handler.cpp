// Every window event comes here, one at a time.
#include "app/front_panel.h"
#include "app/key_map.h"

void FrontPanel::handleEvent() {
  switch (eventCode) {
    case event::closeRequest:
      running = 0;  // saves nothing: only the quit key writes "memory.dat"
      break;
    case event::timerTick:
      pollRadio();
      break;
    case event::keyDown:
      // A held key repeats its key-down; it, and any other key pressed
      // meanwhile, is ignored until a key-up.
      if (keyHeld == 1) break;
      keyCode = eventParam;
      keyHeld = 1;
      if (debugFlag == 1) logKey();
      runKeyMap(*this);
      break;
    case event::keyUp:
      keyHeld = 0;
      break;
    default:
      break;
  }
}
