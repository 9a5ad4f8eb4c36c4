// The one orderly end of the program, whichever way it comes: the quit key,
// or the close request (the close box, the window manager, Alt+F4, a
// termination signal, the display going away).
#include "state/front_panel.h"
#include "state/words.h"

// Nothing is said before a tuning in progress has ended. After the end the
// port is closed, so nothing can reach the radio any more, and the handler
// lets no event act.
void FrontPanel::endProgram(bool quitKey) {
  if (ended == 1) return;
  ended = 1;
  bool tuning = tuneActive == 1 || tuneEndOwed == 1;
  if (tuning) endTuning();
  // A radio that cannot be reached may still be transmitting: the end of the
  // tuning went out but nothing confirms it, so the operator hears so
  // before leaving. The next start sends "TX0" first.
  if (tuning && connectedSpoken == 0) {
    speakWord(word::tune);
    speakWord(word::on);
    speakWord(word::notConnected);
  }
  askFrequencyAtEnd();
  trackBand();
  if (!saveMemoryFile()) speakWord(word::notSaved);
  if (quitKey) speakWord(word::quit);
  if (powerControl == 1) radio->switchPower(false);
  platform.closeSerial(comPort);
  running = 0;
}
