// Every word the program says is one recording, played to its end.
#include "state/front_panel.h"

// The file name is waveDir followed by the word, character for character; the
// sound service adds ".wav" and finds the file. An empty word, or the blank
// that leads a number's text, names no recording.
//
// With SPEECH_CUT, a key pressed while a word plays stops it, and the rest of
// the phrase is not said: the event's other words return at once, while
// everything else it does (the commands it sends) is done as without the
// cut. The key is handled next.
void FrontPanel::speakWord(std::string_view word) {
  if (word.find_first_not_of(' ') == std::string_view::npos) return;
  if (speechCut == 0) {
    platform.playSound(waveDir + word, true);
    return;
  }
  if (phraseCut == 1) return;
  if (!platform.playSoundUntilKey(waveDir + word)) phraseCut = 1;
}

// A word whose recording serves as a wait. Without a sound device it is not
// heard, but its time still passes: the radio is given the time it needs.
void FrontPanel::speakPause(std::string_view word) { platform.pauseForSound(waveDir + word); }
