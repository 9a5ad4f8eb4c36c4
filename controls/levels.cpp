// The Up and Down keys on whichever control the operator selected last, and
// the commands that carry each level to the radio.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <span>

#include "platform/virtual_keys.h"
#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

constexpr int gainStep = 10;
constexpr int gainTop = 250;

// The next rung of the radio's power ladder above watts; the top rung stays.
int powerAbove(std::span<const int> ladder, int watts) {
  for (int rung : ladder) {
    if (rung > watts) return rung;
  }
  return ladder.back();
}

// The next rung below watts; the bottom rung stays.
int powerBelow(std::span<const int> ladder, int watts) {
  for (auto rung = ladder.rbegin(); rung != ladder.rend(); ++rung) {
    if (*rung < watts) return *rung;
  }
  return ladder.front();
}

// The radio's next width step above the step given; the widest stays. Not
// every model numbers its steps one apart (the FT-450's are 8, 16, 25).
int widthAbove(std::span<const WidthStep> widths, int step) {
  for (const WidthStep& width : widths) {
    if (width.step > step) return width.step;
  }
  return widths.back().step;
}

// The next step below; the narrowest stays.
int widthBelow(std::span<const WidthStep> widths, int step) {
  for (auto width = widths.rbegin(); width != widths.rend(); ++width) {
    if (width->step < step) return width->step;
  }
  return widths.front().step;
}

// The width the program starts the radio on: 2.4 kHz, the FT-991A's step
// 14 that it has always started on, and the usual SSB width of every model.
constexpr int normalWidthHz = 2400;

// Outside every band there is no band to step from: the arrows say so and
// queue nothing.
bool refusedOutsideBands(FrontPanel& panel) {
  if (panel.bandIndex != noBand) return false;
  panel.announceNoBandToStepFrom();
  return true;
}

// The level the Up and Down keys adjust; none for the frequency and band.
std::optional<Level> focusedLevel(Focus focus) {
  switch (focus) {
    case Focus::width:
      return Level::width;
    case Focus::power:
      return Level::power;
    case Focus::rfGain:
      return Level::rfGain;
    case Focus::afGain:
      return Level::afGain;
    default:
      return std::nullopt;
  }
}

// A level the radio lacks: its arrows say so, and change nothing.
bool arrowsLack(FrontPanel& panel) {
  std::optional<Level> level = focusedLevel(panel.focusControl);
  return level && panel.notAvailable(*level);
}

}  // namespace

bool FrontPanel::notAvailable(Level level) {
  if (!radio->facts().lacks(level)) return false;
  speakWord(word::notAvailable);
  return true;
}

void FrontPanel::adjustUp() {
  if (arrowsLack(*this)) return;
  switch (focusControl) {
    case Focus::frequency:
      stepFrequency(key::up);
      break;
    case Focus::band:
      if (refusedOutsideBands(*this)) break;
      if (++bandStepPending == bandsCovered(bandCoverage) + 1) bandStepPending = 1;
      askFrequencyFirst();  // its answer takes the step
      break;
    case Focus::width:
      filterWidth = widthAbove(radio->facts().widths, filterWidth);
      sendFilterWidth();
      break;
    case Focus::power:
      powerWatts = powerAbove(radio->facts().powerLadder, powerWatts);
      sendPower();
      break;
    case Focus::rfGain:
      rfGain = std::min(rfGain + gainStep, gainTop);
      sendRfGain();
      if (rfGain == gainTop) speakWord(word::maximum);
      break;
    case Focus::afGain:
      afGain = std::min(afGain + gainStep, gainTop);
      sendAfGain();
      if (afGain == gainTop) speakWord(word::maximum);
      break;
    default:
      break;
  }
}

// Steps queued up and then taken back cancel: a count brought back to 0
// stays 0.
void FrontPanel::adjustDown() {
  if (arrowsLack(*this)) return;
  switch (focusControl) {
    case Focus::frequency:
      stepFrequency(key::down);
      break;
    case Focus::band:
      if (refusedOutsideBands(*this)) break;
      if (--bandStepPending == -(bandsCovered(bandCoverage) + 1)) bandStepPending = -1;
      askFrequencyFirst();
      break;
    case Focus::width:
      filterWidth = widthBelow(radio->facts().widths, filterWidth);
      sendFilterWidth();
      break;
    case Focus::power:
      powerWatts = powerBelow(radio->facts().powerLadder, powerWatts);
      sendPower();
      break;
    case Focus::rfGain:
      rfGain = std::max(rfGain - gainStep, 0);
      sendRfGain();
      break;
    case Focus::afGain:
      afGain = std::max(afGain - gainStep, 0);
      sendAfGain();
      break;
    default:
      break;
  }
}

// Any wattage, on the ladder or not (the configuration may give one off it),
// goes to the radio, which may refuse it.
void FrontPanel::sendPower() { radio->setLevel(Level::power, powerWatts); }

void FrontPanel::sendAfGain() { radio->setLevel(Level::afGain, afGain); }

void FrontPanel::sendRfGain() { radio->setLevel(Level::rfGain, rfGain); }

void FrontPanel::sendFilterWidth() { radio->setLevel(Level::width, filterWidth); }

// The radio's step nearest 2.4 kHz, the first of two as near.
void FrontPanel::setNormalWidth() {
  std::span<const WidthStep> widths = radio->facts().widths;
  const WidthStep* nearest = &widths.front();
  for (const WidthStep& width : widths) {
    if (std::abs(width.hz - normalWidthHz) < std::abs(nearest->hz - normalWidthHz))
      nearest = &width;
  }
  filterWidth = nearest->step;
}
