// The S-meter, the SWR and the transmit power, said from their scales.
#include <array>

#include "state/front_panel.h"
#include "state/window_layout.h"

namespace {

// The S-meter scale: the first row whose threshold the reading exceeds.
struct SMeterStep {
  int above;
  const char* word;
  const char* label;  // S0..S8 carry two blanks so they cover an "S9+"
};

constexpr std::array<SMeterStep, 10> sMeterScale = {{
    {122, "9.wav", "S9"},
    {108, "8.wav", "S8  "},
    {96, "7.wav", "S7  "},
    {82, "6.wav", "S6  "},
    {68, "5.wav", "S5  "},
    {54, "4.wav", "S4  "},
    {40, "3.wav", "S3  "},
    {20, "2.wav", "S2  "},
    {10, "1.wav", "S1  "},
    {0, "0.wav", "S0  "},  // and every lower reading
}};

const SMeterStep& sMeterStep(int reading) {
  for (const auto& step : sMeterScale) {
    if (reading > step.above) return step;
  }
  return sMeterScale.back();
}

constexpr int sMeterPlusAbove = 156;  // over S9: "plus.wav" and "+"

// The SWR scale: from its lowest reading on, a row says its whole number and
// tenths of (reading - from) / perTenth; perTenth 0 means always "point 0".
struct SwrRange {
  int from;
  const char* whole;
  double perTenth;
};

constexpr std::array<SwrRange, 6> swrScale = {{
    {0, "1", 0},
    {50, "1", 7},
    {120, "2", 10},
    {160, "3", 2},
    {180, "4", 2.5},
    {200, "gt5", 0},
}};

// The row of a reading; readings below the scale count as its first row.
std::size_t swrRow(int reading) {
  std::size_t row = 0;
  for (std::size_t i = 0; i < swrScale.size(); ++i) {
    if (reading >= swrScale[i].from) row = i;
  }
  return row;
}

// The label is printed as its words are said; the poll only shows it.
void reportSMeter(FrontPanel& p, bool spoken) {
  auto say = [&](std::string_view word) {
    if (spoken) p.speakWord(word);
  };
  int r = p.sMeterReading;
  p.platform.setTextPosition(layout::sMeterX, layout::sMeterY);
  say("s.wav");
  const SMeterStep& step = sMeterStep(r);
  say(step.word);
  p.platform.printText(step.label);
  if (&step == &sMeterScale.front()) {
    if (r > sMeterPlusAbove) {
      say("plus.wav");
      p.platform.printText("+");
    } else {
      p.platform.printText("  ");
    }
  }
}

}  // namespace

void FrontPanel::announceSMeter() { reportSMeter(*this, true); }
void FrontPanel::showSMeter() { reportSMeter(*this, false); }

// The full form ("SWR" .. "21") is used while swrAnnounce is below 2; a
// setting of 1 asks for it once, then for the short form.
void FrontPanel::announceSwr() {
  if (swrSaidInFull(swrAnnounce)) speakWord("SWR");
  int x = roundToInt(numberOf(swrReading));
  std::size_t row = swrRow(x);
  int tenths = 0;
  if (swrScale[row].perTenth > 0) tenths = roundToInt((x - swrScale[row].from) / swrScale[row].perTenth);
  // The top of a range can round up to ten tenths: that is the next whole
  // number, point 0 (1.95 is said "2 point 0", not "1 point 10").
  if (tenths >= 10) {
    ++row;
    tenths = 0;
  }
  speakWord(swrScale[row].whole);
  speakWord("point");
  speakWord(charText('0' + tenths));
  if (swrSaidInFull(swrAnnounce)) speakWord("21");
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
  for (int i = 1; i <= static_cast<int>(digits.size()); ++i) speakWord(middleChars(digits, i, 1));
  speakWord("watts");
}
