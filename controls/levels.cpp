// The Up and Down keys on whichever control the operator selected last, and
// the commands that carry each level to the radio.
#include <algorithm>
#include <array>

#include "radio/cat.h"
#include "state/band_table.h"
#include "state/front_panel.h"

namespace {

constexpr int frequencyStep = 1000;
constexpr int gainStep = 10;
constexpr int gainTop = 250;

// Transmit power in watts, lowest first.
constexpr std::array<int, 11> powerLadder = {5, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

// The next rung above watts; the top rung stays.
int powerAbove(int watts) {
  for (int rung : powerLadder) {
    if (rung > watts) return rung;
  }
  return powerLadder.back();
}

// The next rung below watts; the bottom rung stays.
int powerBelow(int watts) {
  for (auto rung = powerLadder.rbegin(); rung != powerLadder.rend(); ++rung) {
    if (*rung < watts) return *rung;
  }
  return powerLadder.front();
}

// Outside every band there is no band to step from: the arrows say so and
// queue nothing.
bool refusedOutsideBands(FrontPanel& panel) {
  if (panel.bandIndex != noBand) return false;
  panel.announceNoBandToStepFrom();
  return true;
}

}  // namespace

void FrontPanel::adjustUp() {
  switch (focusControl) {
    case Focus::frequency:  // the key handler sends the frequency afterwards
      frequencyHz = withinFrequencyRange(static_cast<long long>(frequencyHz) + frequencyStep);
      break;
    case Focus::band:
      if (refusedOutsideBands(*this)) break;
      if (++bandStepPending == bandsCovered(bandCoverage) + 1) bandStepPending = 1;
      break;
    case Focus::width:
      filterWidth = std::min(filterWidth + 1, widestWidth);
      sendFilterWidth();
      break;
    case Focus::power:
      powerWatts = powerAbove(powerWatts);
      sendPower();
      break;
    case Focus::rfGain:
      rfGain = std::min(rfGain + gainStep, gainTop);
      sendRfGain();
      if (rfGain == gainTop) speakWord("max");
      break;
    case Focus::afGain:
      afGain = std::min(afGain + gainStep, gainTop);
      sendCommand(cat::afGain(afGain));
      if (afGain == gainTop) speakWord("max");
      break;
    default:
      break;
  }
}

// Steps queued up and then taken back cancel: a count brought back to 0
// stays 0.
void FrontPanel::adjustDown() {
  switch (focusControl) {
    case Focus::frequency:
      frequencyHz = withinFrequencyRange(static_cast<long long>(frequencyHz) - frequencyStep);
      break;
    case Focus::band:
      if (refusedOutsideBands(*this)) break;
      if (--bandStepPending == -(bandsCovered(bandCoverage) + 1)) bandStepPending = -1;
      break;
    case Focus::width:
      filterWidth = std::max(filterWidth - 1, narrowestWidth);
      sendFilterWidth();
      break;
    case Focus::power:
      powerWatts = powerBelow(powerWatts);
      sendPower();
      break;
    case Focus::rfGain:
      rfGain = std::max(rfGain - gainStep, 0);
      sendRfGain();
      break;
    case Focus::afGain:
      afGain = std::max(afGain - gainStep, 0);
      sendCommand(cat::afGain(afGain));
      break;
    default:
      break;
  }
}

// Any wattage, on the ladder or not (the configuration may give one off it),
// goes out as three digits.
void FrontPanel::sendPower() { sendCommand(cat::power(powerWatts)); }

void FrontPanel::sendRfGain() { sendCommand(cat::rfGain(rfGain)); }

void FrontPanel::sendFilterWidth() { sendCommand(cat::filterWidth(filterWidth)); }
