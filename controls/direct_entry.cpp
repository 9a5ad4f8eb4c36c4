// Direct entry of a frequency in megahertz, and the digit keys, which also
// name memory channels and bands.
#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

// entryValue is never multiplied past nine digits. A tenth digit makes it
// this ten-digit value instead, which a frequency command cannot hold, so
// Enter refuses the entry just as it refuses any other overlong one.
constexpr int tooManyDigits = 1'000'000'000;
constexpr int largestNineDigits = 999'999'999;

constexpr int highestEntryMhz = 439;

}  // namespace

void FrontPanel::startEntry() {
  entryValue = 0;
  focusControl = Focus::frequency;
  speakWord(word::enterFrequency);
  entryMhzDigits = 0;
  entryArmed = 1;
  entryPointSeen = 0;
  entryPointRefused = 0;
}

void FrontPanel::handleDigit(int digit) {
  if (channelAction == ChannelAction::store) {
    storeChannel(digit);  // the same digit may then go on into an entry or a band
  } else if (channelAction == ChannelAction::recall) {
    recallChannel(digit);
    return;
  }
  if (focusControl == Focus::frequency && entryArmed == 1) {
    // A zero before the megahertz adds none of their digits: "07.1" is 7.1.
    bool leadingZero = entryPointSeen == 0 && entryValue == 0 && digit == 0;
    if (entryPointSeen == 0 && !leadingZero) ++entryMhzDigits;
    entryValue = entryValue > largestNineDigits / 10 ? tooManyDigits : entryValue * 10 + digit;
    speakWord(word::digit(digit));
  }
  if (focusControl == Focus::band) selectBandByDigit(digit);
}

// The point ends the megahertz: the radio goes to the mode remembered for
// the typed band at once, while the operator types the fraction. The radio
// stays on the old band's frequency until Enter, so that mode is not the
// old band's (trackBand). A point refused refuses the whole entry: the
// operator has heard "invalid", and Enter must not then send its digits.
void FrontPanel::acceptEntryPoint() {
  if (entryValue > highestEntryMhz || entryValue < 1) {
    entryPointRefused = 1;
    speakWord(word::invalid);
    return;
  }
  askFrequencyFirst();  // the band the radio is on, and the frequency rounded for the mode
  saveBandMode();
  entryPointSeen = 1;
  bandForEntry();
  entryBand = bandIndex;
  restoreBandMode();
  selectMode();
  pointModeBand = entryBand;
  speakWord(word::point);
}

// The typed digits are the leading digits of the nine-digit frequency; one
// or two megahertz digits are first padded to three with leading zeros. An
// entry that makes no frequency is refused before anything is sent: more
// than three megahertz digits, more than nine digits in all, no frequency
// at all (Enter right after "E", or only zeros), or a point refused.
void FrontPanel::completeEntry() {
  if (entryArmed == 0) return;
  entryArmed = 0;
  std::string digits = middleChars(textOf(entryValue), 2);
  if (entryMhzDigits == 1) digits = "00" + digits;
  if (entryMhzDigits == 2) digits = "0" + digits;
  bool pointSeen = entryPointSeen == 1;
  entryPointSeen = 0;
  if (static_cast<int>(digits.size()) > frequencyDigits || entryMhzDigits > 3 || entryValue == 0 ||
      entryPointRefused == 1) {
    speakWord(word::invalid);
    entryMhzDigits = 0;
    return;
  }
  askFrequencyFirst();  // the band left keeps the radio's frequency
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
  pointModeBand = 0;  // the radio is on the typed band now
  setPreamp(isBand(bandIndex) && bandTable[bandIndex].preamp);  // outside the bands: off
  speakWord(word::ok);
}
