// The Up and Down keys on whichever control the operator selected last, and
// the commands that carry each level to the radio.
#include <algorithm>
#include <optional>
#include <span>

#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

constexpr int frequencyStep = 1000;
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

// The radio's width steps, narrowest and widest.
int narrowestWidth(const FrontPanel& panel) { return panel.radio->facts().widths.front().step; }
int widestWidth(const FrontPanel& panel) { return panel.radio->facts().widths.back().step; }

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
    case Focus::frequency:  // the key handler sends the frequency afterwards
      frequencyHz = withinFrequencyRange(static_cast<long long>(frequencyHz) + frequencyStep);
      break;
    case Focus::band:
      if (refusedOutsideBands(*this)) break;
      if (++bandStepPending == bandsCovered(bandCoverage) + 1) bandStepPending = 1;
      break;
    case Focus::width:
      filterWidth = std::min(filterWidth + 1, widestWidth(*this));
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
      frequencyHz = withinFrequencyRange(static_cast<long long>(frequencyHz) - frequencyStep);
      break;
    case Focus::band:
      if (refusedOutsideBands(*this)) break;
      if (--bandStepPending == -(bandsCovered(bandCoverage) + 1)) bandStepPending = -1;
      break;
    case Focus::width:
      filterWidth = std::max(filterWidth - 1, narrowestWidth(*this));
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
