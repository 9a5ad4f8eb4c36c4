// Every window event comes here, one at a time: its code and its parameter
// (the key of a key event).
#include "app/key_map.h"
#include "state/front_panel.h"

void FrontPanel::handleEvent(int code, int param) {
  // The events still waiting when the program ended: the radio is off and
  // its port closed, so a key would only pretend to act.
  if (ended == 1) return;
  phraseCut = 0;  // each event has its own phrase
  switch (code) {
    case event::closeRequest:
      endProgram(false);
      break;
    case event::timerTick:
      pollRadio();
      break;
    case event::keyDown:
      // A held key repeats its key-down: those repeats are ignored until
      // the key comes up. Any other key is handled at once, even while one
      // is still down, so quick typing with overlapping keys loses nothing.
      if (param == keyHeld) break;
      keyHeld = param;
      keyCutsSpeech();
      if (debugFlag == 1) logKey(param);
      runKeyMap(*this, param);
      break;
    case event::keyUp:
      // The keyboard repeats only the key pressed last; the key-up of one
      // pressed before it changes nothing.
      if (param == keyHeld) keyHeld = 0;
      break;
    default:
      break;
  }
  handOverUtterance();  // the event's words, said by the system as one
}
