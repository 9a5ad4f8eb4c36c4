// Every word the program says is one recording, played to its end.
#include "app/front_panel.h"

// The file name is waveDir followed by the word, character for character; the
// sound service adds ".wav" and finds the file. While waveDir is "xx" no file
// matches, so a whole announcement runs silently and at once. An empty word,
// or the blank that leads a number's text, names no recording.
void FrontPanel::speakWord(std::string_view word) {
  if (word.find_first_not_of(' ') == std::string_view::npos) return;
  platform.playSound(waveDir + word, true);
}

// A word whose recording serves as a wait. Without a sound device it is not
// heard, but its time still passes: the radio is given the time it needs.
void FrontPanel::speakPause(std::string_view word) { platform.pauseForSound(waveDir + word); }
