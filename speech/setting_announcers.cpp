// The mode, the band and the filter width, each said from a table.
#include <array>

#include "app/front_panel.h"
#include "controls/band_table.h"

namespace {

// Indexed by modeIndex 1..5.
constexpr std::array<const char*, 6> modeWords = {"", "lsb.wav", "usb.wav", "cw.wav", "am.wav",
                                                  "fm.wav"};

}  // namespace

void FrontPanel::announceMode() {
  if (modeIndex >= 1 && modeIndex <= 5) speakWord(modeWords[modeIndex]);
}

void FrontPanel::announceBand() {
  if (isBand(bandIndex)) speakWord(bandTable[bandIndex].word);
  if (bandIndex == noBand) speakWord("un");
  if (bandIndex < noBand) speakWord("metres");
}

void FrontPanel::announceNoBandToStepFrom() {
  speakWord("band");
  speakWord("un");
}

// Width steps 9..21 are said 1.8, 1.9, 2.1 .. 2.9, 3.0, 3.1 kHz: the scale
// has no 2.0.
void FrontPanel::announceWidth() {
  int w = filterWidth;
  speakWord("bw");
  if (w < 11) {
    speakWord("1.wav");
  } else if (w <= 19) {
    speakWord("2.wav");
  } else {
    speakWord("3.wav");
  }
  speakWord("point");
  if (w == 9) {
    speakWord("8.wav");
  } else if (w == 10) {
    speakWord("9.wav");
  } else if (w >= 11 && w <= 19) {
    speechScratch = lastChars(textOf(w), 1);
    speakWord(speechScratch);
  } else if (w == 20) {
    speakWord("0.wav");
  } else if (w == 21) {
    speakWord("1.wav");
  }
  speakWord("khz");
}
