// Direct entry of a frequency in megahertz, and the digit keys, which also
// name memory channels and bands.
#include "app/front_panel.h"
#include "controls/band_table.h"

namespace {

// entryValue is never multiplied past nine digits. A tenth digit makes it
// this ten-digit value instead, which a frequency command cannot hold, so
// Enter refuses the entry just as it refuses any other overlong one.
constexpr int tooManyDigits = 1'000'000'000;
constexpr int largestNineDigits = 999'999'999;

constexpr int highestEntryMhz = 439;
constexpr int lastBandWithoutPreamp = 5;
constexpr int frequencyDigits = 9;  // of a frequency command

}  // namespace

void FrontPanel::startEntry() {
  entryValue = 0;
  focusControl = 0;
  speakWord("EF");
  entryMhzDigits = 0;
  entryArmed = 1;
  entryPointSeen = 0;
}

void FrontPanel::handleDigit() {
  int digit = keyCode - '0';
  if (channelAction == 1) {
    storeChannel(digit);  // the same digit may then go on into an entry or a band
  } else if (channelAction == 2) {
    recallChannel(digit);
    return;
  }
  if (focusControl == 0 && entryArmed == 1) {
    if (entryPointSeen == 0) ++entryMhzDigits;
    entryValue = entryValue > largestNineDigits / 10 ? tooManyDigits : entryValue * 10 + digit;
    speakWord(charText('0' + digit));
  }
  if (focusControl == 1) selectBandByDigit();
}

// The point ends the megahertz: the radio goes to the mode remembered for
// the typed band at once, while the operator types the fraction.
void FrontPanel::acceptEntryPoint() {
  if (entryValue > highestEntryMhz || entryValue < 1) {
    speakWord("invalid");
    return;
  }
  saveBandMode();
  entryPointSeen = 1;
  bandForEntry();
  entryBand = bandIndex;
  restoreBandMode();
  selectMode();
  speakWord("point");
}

// The typed digits are the leading digits of the nine-digit frequency; one
// or two megahertz digits are first padded to three with leading zeros. An
// entry that makes no frequency is refused before anything is sent: more
// than three megahertz digits, more than nine digits in all, or no frequency
// at all (Enter right after "E", or only zeros).
void FrontPanel::completeEntry() {
  if (entryArmed == 0) return;
  entryArmed = 0;
  std::string digits = middleChars(textOf(entryValue), 2);
  if (entryMhzDigits == 1) digits = "00" + digits;
  if (entryMhzDigits == 2) digits = "0" + digits;
  bool pointSeen = entryPointSeen == 1;
  entryPointSeen = 0;
  if (static_cast<int>(digits.size()) > frequencyDigits || entryMhzDigits > 3 || entryValue == 0) {
    speakWord("invalid");
    entryMhzDigits = 0;
    return;
  }
  if (!pointSeen) {  // the whole number is megahertz
    saveBandMode();
    bandForEntry();
    restoreBandMode();
    selectMode();
    entryBand = bandIndex;
  }
  digits.resize(frequencyDigits, '0');
  sendFrequency(roundToInt(numberOf(digits)));
  bandIndex = entryBand;

  // togglePreamp inverts the flag: set it to the opposite of the wanted state.
  preampOn = bandIndex <= lastBandWithoutPreamp || bandIndex == noBand ? 1 : 0;
  togglePreamp();
  speakWord("ok");
}
