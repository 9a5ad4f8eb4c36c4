// Every window event comes here, one at a time.
#include "app/key_map.h"
#include "state/front_panel.h"

void FrontPanel::handleEvent() {
  // The events still waiting when the program ended: the radio is off and
  // its port closed, so a key would only pretend to act.
  if (ended == 1) return;
  phraseCut = 0;  // each event has its own phrase
  switch (eventCode) {
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
      if (eventParam == keyHeld) break;
      keyCode = eventParam;
      keyHeld = eventParam;
      keyCutsSpeech();
      if (debugFlag == 1) logKey();
      runKeyMap(*this);
      break;
    case event::keyUp:
      // The keyboard repeats only the key pressed last; the key-up of one
      // pressed before it changes nothing.
      if (eventParam == keyHeld) keyHeld = 0;
      break;
    default:
      break;
  }
  handOverUtterance();  // the event's words, said by the system as one
}
