// The frequency, said from the text the window shows: the megahertz digits,
// "point", the fraction up to its last non-zero digit, "mhz".
#include "app/front_panel.h"

namespace {

// The fraction is looked at up to this character of the displayed text.
constexpr int lastFractionPosition = 11;

}  // namespace

void FrontPanel::announceFrequency() {
  speechScratch = freqDisplay;
  if (speechScratch.empty()) {
    speakWord("nc");
    return;
  }
  int point = findText(speechScratch, ".");
  // The megahertz digits; the blanks that right-align them are silent.
  for (int i = 1; i < point; ++i) speakWord(middleChars(speechScratch, i, 1));
  if (lastChars(speechScratch, 6) == "000000") {
    speakWord("mhz");
    return;
  }
  speakWord("point");
  for (int i = point + 1; i <= lastFractionPosition; ++i) {
    speakWord(middleChars(speechScratch, i, 1));
    int rest = lastFractionPosition - i;
    if (numberOf(middleChars(speechScratch, i + 1, rest)) == 0) break;
  }
  speakWord("mhz");
}
