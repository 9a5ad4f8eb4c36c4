// Every word the program says is one recording, played to its end; or, with
// the system's speech, its text, and the words of one event are one
// utterance in the operator's own voice.
#include "speech/vocabulary.h"
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
  if (systemSpeech == 1) {
    addToUtterance(word);
    return;
  }
  if (speechCut == 0) {
    platform.playSound(waveDir + word, true);
    return;
  }
  if (phraseCut == 1) return;
  if (!platform.playSoundUntilKey(waveDir + word)) phraseCut = 1;
}

// A word whose recording serves as a wait. Without a sound device it is not
// heard, but its time still passes: the radio is given the time it needs.
// With the system's speech the words before it are said first, then its
// text, while the recording's time passes in silence.
void FrontPanel::speakPause(std::string_view word) {
  if (systemSpeech == 0) {
    platform.pauseForSound(waveDir + word);
    return;
  }
  addToUtterance(word);
  handOverUtterance();
  platform.pauseSilently(waveDir + word);
}

// The help: recorded, it plays on while keys and ticks are handled, and the
// next word stops it; said by the system, it is an utterance of its own,
// which the next one stops.
void FrontPanel::startWord(std::string_view word) {
  if (systemSpeech == 0) {
    platform.playSound(waveDir + word, false);
    return;
  }
  handOverUtterance();
  addToUtterance(word);
  handOverUtterance(Utterance::help);
}

// A word the vocabulary has no text for says nothing, as a missing
// recording plays nothing.
void FrontPanel::addToUtterance(std::string_view word) {
  std::string_view text = wordText(word);
  if (text.empty()) return;
  if (!utterance.empty()) utterance += ' ';
  utterance += text;
}

void FrontPanel::handOverUtterance(Utterance kind) {
  if (utterance.empty()) return;
  platform.speakText(utterance, kind);
  utterance.clear();
}

// The system's speech goes on while keys are handled, so with SPEECH_CUT a
// key stops it when it comes (a held key's repeats are no new key). While
// tuning a key stops it whatever SPEECH_CUT says, as it stops the SWR said
// in recorded words.
void FrontPanel::keyCutsSpeech() {
  if (systemSpeech == 1 && (speechCut == 1 || tuneActive == 1)) platform.cutSpeech();
}

// Asked for with SYSTEM_SPEECH=1 and not to be had: the recorded words
// stay, and the operator, who may hear them in a voice not expected, is
// told why once.
void FrontPanel::chooseSpeech() {
  if (systemSpeech == 0) return;
  noSystemSpeech = platform.startSystemSpeech();
  if (noSystemSpeech.empty()) return;
  systemSpeech = 0;
  reportProblem("SYSTEM_SPEECH=1: the system's speech cannot be used (" + noSystemSpeech +
                "); the recorded words are said instead");
}
