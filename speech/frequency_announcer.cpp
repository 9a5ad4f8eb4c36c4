// The frequency, said in the form the window shows it: the megahertz digits,
// "point", the fraction up to its last non-zero digit, "mhz".
#include "state/band_table.h"
#include "state/front_panel.h"

namespace {

// The fraction is looked at up to this character of the displayed text.
constexpr int lastFractionPosition = 11;

}  // namespace

// Said is the program's frequency: the one it sent last when the radio has
// not reported since, so a frequency just chosen is never said as the old
// one. Before the radio's first whole frequency reply there is none to say.
void FrontPanel::announceFrequency() {
  if (freqDisplay.empty()) {
    speakWord("nc");
    return;
  }
  const std::string shown = frequencyDisplayText(frequencyHz);
  int point = findText(shown, ".");
  // The megahertz digits; the blanks that right-align them are silent.
  for (int i = 1; i < point; ++i) speakWord(middleChars(shown, i, 1));
  if (lastChars(shown, 6) == "000000") {
    speakWord("mhz");
    return;
  }
  speakWord("point");
  for (int i = point + 1; i <= lastFractionPosition; ++i) {
    speakWord(middleChars(shown, i, 1));
    int rest = lastFractionPosition - i;
    if (numberOf(middleChars(shown, i + 1, rest)) == 0) break;
  }
  speakWord("mhz");
}
