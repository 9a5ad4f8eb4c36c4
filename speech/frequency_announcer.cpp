// The frequency, said in the form the window shows it: the megahertz digits,
// "point", the fraction up to its last non-zero digit, "mhz".
#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

// The fraction is looked at up to this character of the displayed text.
constexpr int lastFractionPosition = 11;

// The digit at a position of the shown text; the blanks that right-align
// the megahertz are silent.
void sayDigitAt(FrontPanel& p, std::string_view shown, int position) {
  char c = shown[static_cast<std::size_t>(position - 1)];
  if (c >= '0' && c <= '9') p.speakWord(word::digit(c - '0'));
}

}  // namespace

// Said is the program's frequency: the one it sent last when the radio has
// not reported since, so a frequency just chosen is never said as the old
// one. Before the radio's first whole frequency reply there is none to say.
void FrontPanel::announceFrequency() {
  if (freqDisplay.empty()) {
    speakWord(word::notConnected);
    return;
  }
  const std::string shown = frequencyDisplayText(frequencyHz);
  int point = findText(shown, ".");
  for (int i = 1; i < point; ++i) sayDigitAt(*this, shown, i);
  if (lastChars(shown, 6) == "000000") {
    speakWord(word::megahertz);
    return;
  }
  speakWord(word::point);
  for (int i = point + 1; i <= lastFractionPosition; ++i) {
    sayDigitAt(*this, shown, i);
    int rest = lastFractionPosition - i;
    if (numberOf(middleChars(shown, i + 1, rest)) == 0) break;
  }
  speakWord(word::megahertz);
}
