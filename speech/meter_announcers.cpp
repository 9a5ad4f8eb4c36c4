// The S-meter, the SWR and the transmit power, said from their scales. A
// meter the radio has not read out lately is said to have no reading: the
// poll asks it five times a second, so a reading older than a second is
// one the radio no longer gives (it stopped answering, or answers in a form
// not read), and the SWR of before the tuning began is not this tuning's.
#include <algorithm>

#include "state/front_panel.h"
#include "state/window_layout.h"
#include "state/words.h"

namespace {

// The S-meter: S0 .. S9, six decibels an S unit, and "plus" above S9.
constexpr int dbPerSUnit = 6;
constexpr int sNine = 9;

constexpr int freshTicks = 20;  // a second of 50 ms ticks

bool isCurrent(const FrontPanel& p, int readTick) {
  return readTick != noReading && p.pollTick - readTick <= freshTicks;
}

int sUnits(int dbOverS9) {
  // Rounded down: 1 to 5 dB below S9 is S8.
  int below = dbOverS9 >= 0 ? 0 : (-dbOverS9 + dbPerSUnit - 1) / dbPerSUnit;
  return std::clamp(sNine - below, 0, sNine);
}

// The label is printed as its words are said; the poll only shows it. S0 ..
// S8 carry two blanks so they cover an "S9+".
void reportSMeter(FrontPanel& p, bool spoken) {
  auto say = [&](word::Word name) {
    if (spoken) p.speakWord(name);
  };
  int units = sUnits(p.sMeterDb);
  p.platform.setTextPosition(layout::sMeterX, layout::sMeterY);
  say(word::s);
  say(word::digit(units));
  std::string label = {'S', static_cast<char>('0' + units)};  // no string sum: GCC 12's -Wrestrict
  if (units != sNine) label.append(2, ' ');
  p.platform.printText(label);
  if (units == sNine) {
    if (p.sMeterDb > 0) {
      say(word::plus);
      p.platform.printText("+");
    } else {
      p.platform.printText("  ");
    }
  }
}

// The SWR is said to the tenth, "1 point 5"; from 5 to 1 on, "greater than
// five point 0".
constexpr int greaterThanFiveTenths = 50;

}  // namespace

// Without a reading the label is blank: no number the radio did not give.
void FrontPanel::announceSMeter() {
  if (isCurrent(*this, sMeterTick)) {
    reportSMeter(*this, true);
    return;
  }
  platform.setTextPosition(layout::sMeterX, layout::sMeterY);
  platform.printText(blanks(layout::sMeterWidth));
  speakWord(word::s);
  speakWord(word::noReading);
}

void FrontPanel::showSMeter() { reportSMeter(*this, false); }

// Run before each read: a label whose reading has grown old is wiped once.
void FrontPanel::forgetStaleMeters() {
  if (sMeterTick == noReading || isCurrent(*this, sMeterTick)) return;
  sMeterTick = noReading;
  platform.setTextPosition(layout::sMeterX, layout::sMeterY);
  platform.printText(blanks(layout::sMeterWidth));
}

// The full form ("SWR" .. "to one") is used while swrAnnounce is below 2; a
// setting of 1 asks for it once, then for the short form.
void FrontPanel::announceSwr() {
  if (swrSaidInFull(swrAnnounce)) speakWord(word::swr);
  if (!isCurrent(*this, swrTick)) {
    speakWord(word::noReading);
    return;
  }
  if (swrTenths >= greaterThanFiveTenths) {
    speakWord(word::greaterThanFive);
    speakWord(word::point);
    speakWord(word::digit(0));
  } else {
    speakWord(word::digit(std::max(swrTenths, 0) / 10));
    speakWord(word::point);
    speakWord(word::digit(std::max(swrTenths, 0) % 10));
  }
  if (swrSaidInFull(swrAnnounce)) speakWord(word::toOne);
  if (swrAnnounce == SwrAnnounce::fullOnce) swrAnnounce = SwrAnnounce::shortForm;
}

// The SWR the poll reads while tuning stops at a key, whatever SPEECH_CUT
// says: T or Q ends the carrier at once, not after the phrase. The system's
// speech, which does not hold the poll, says the latest reading once the
// one before has been said, rather than a growing queue of old ones.
void FrontPanel::announceSwrUntilKey() {
  int cutSetting = speechCut;
  speechCut = 1;
  handOverUtterance();
  announceSwr();
  handOverUtterance(Utterance::reading);
  speechCut = cutSetting;
}

void FrontPanel::announcePower() {
  const std::string digits = middleChars(textOf(powerWatts), 2);  // without the leading blank
  for (char digit : digits) {
    if (digit >= '0' && digit <= '9') speakWord(word::digit(digit - '0'));
  }
  speakWord(word::watts);
}
