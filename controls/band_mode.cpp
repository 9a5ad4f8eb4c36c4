// Band and mode: the mode commands, the band memory and the moves between
// bands by number, by step and by the frequency the radio reports.
#include "state/band_table.h"
#include "state/front_panel.h"

namespace {

// Whether a mode chosen when an entry's point had chosen it for pointBand
// (0: no entry's point) is band's mode.
bool modeIsFor(int pointBand, int band) { return pointBand == 0 || pointBand == band; }

}  // namespace

void FrontPanel::fillInitialBandMemory() {
  for (int band = firstBand; band <= lastBand; ++band) {
    bandHz[band] = bandTable[band].initialHz;
    bandMode[band] = bandTable[band].initialMode;
  }
}

// A mode outside the table has no command: nothing is sent, rather than the
// previous command a second time.
void FrontPanel::sendMode() {
  platform.setTextPosition(modeX, modeY);
  if (!isMode(modeIndex)) return;
  platform.printText(std::string(modeTable[modeIndex].label) + "\r\n");
  commandMode(modeIndex);
}

void FrontPanel::selectMode() {
  sendMode();
  if (isMode(modeIndex)) snapToKilohertz();
}

// USB rounds up to the next whole kilohertz, every other mode down, so the
// carrier stays on the side of the signal the mode listens to.
void FrontPanel::snapToKilohertz() {
  frequencyHz = withinFrequencyRange(frequencyHz);
  int remainder = frequencyHz % 1000;
  frequencyHz -= remainder;
  if (modeIndex == usbMode && remainder != 0 && frequencyHz + 1000 <= highestFrequencyHz) {
    frequencyHz += 1000;
  }
  sendFrequency(frequencyHz);
}

// The mode's rounding starts from the radio's frequency as it answers now.
void FrontPanel::nextMode() {
  askFrequencyFirst();
  modeIndex = modeIndex % lastMode + 1;
  if (modeIndex == fmMode && !offersFm(bandIndex)) {
    modeIndex = firstMode;
  }
  selectMode();
  announceMode();
}

// The radio ends on the band's remembered mode and frequency; on its way the
// old frequency is re-sent rounded, as every mode change does. A step past
// either end of the radio's bands comes round at the other end; a step up
// from 70 cm on a radio said to end lower (reached by the radio's own knob)
// comes round at 160 m, so the band is always one of the table's.
void FrontPanel::selectBand() {
  pointModeBand = 0;
  int covered = bandsCovered(bandCoverage);
  if (bandIndex < firstBand) bandIndex = covered;
  if (bandIndex == covered + 1 || (bandIndex > lastBand && bandIndex != noBand)) {
    bandIndex = firstBand;
  }

  int bandHzThen = 0;  // the band's remembered frequency, before the mode's rounding
  if (isBand(bandIndex)) {
    bandHzThen = bandHz[bandIndex];
    modeIndex = roundToInt(numberOf(bandMode[bandIndex]));
  }
  selectMode();
  if (isBand(bandIndex)) sendFrequency(bandHzThen);
  announceBand();
  setPreamp(isBand(bandIndex) ? bandTable[bandIndex].preamp : true);
}

// Runs after every frequency reply, so the band memory follows the radio
// whether this program or the radio's own knob changed the frequency. What
// it keeps is the radio's last report: its frequency and the mode the radio
// was in then, not a frequency or mode the program has sent since and the
// radio has not confirmed (a band chosen a moment ago must not be saved with
// the old band's frequency, nor the old band with the new band's mode). The
// mode an entry's point chose for the typed band is not the old band's,
// though the radio reports it there until Enter.
void FrontPanel::trackBand() {
  int x = reportedHz / 100'000;
  bandIndex = noBand;
  for (int band = firstBand; band <= lastBand; ++band) {
    if (x <= bandTable[band].trackAbove || x >= bandTable[band].trackBelow) continue;
    bandHz[band] = reportedHz;
    if (modeIsFor(lastReplyPointBand, band)) bandMode[band] = charText('0' + lastReplyMode);
    bandIndex = band;
  }
}

// One queued band step per frequency reply, taken from the band the radio is
// on (the Up and Down keys queue them with the band focused, levels.cpp).
// When the radio has been tuned outside every band meanwhile, there is no
// band to step from: the steps are dropped, as the Up and Down keys refuse
// them there.
void FrontPanel::takeQueuedBandStep() {
  if (bandStepPending != 0 && bandIndex == noBand) {
    bandStepPending = 0;
    announceNoBandToStepFrom();
  } else if (bandStepPending > 0) {
    bandIndex = bandIndex + 1;
    bandStepPending = bandStepPending - 1;
    selectBand();
  } else if (bandStepPending < 0) {
    bandIndex = bandIndex - 1;
    bandStepPending = bandStepPending + 1;
    selectBand();
  }
}

void FrontPanel::saveBandMode() {
  if (isBand(bandIndex) && modeIsFor(pointModeBand, bandIndex)) {
    bandMode[bandIndex] = lastChars(textOf(modeIndex), 1);
  }
}

void FrontPanel::restoreBandMode() {
  if (isBand(bandIndex)) modeIndex = roundToInt(numberOf(bandMode[bandIndex]));
}

void FrontPanel::bandForEntry() {
  bandIndex = noBand;
  for (int band = firstBand; band <= lastBand; ++band) {
    if (entryValue >= bandTable[band].entryLow && entryValue <= bandTable[band].entryHigh) {
      bandIndex = band;
    }
  }
}

// Digits 1..9 select bands 1..9 and 0 band 10; the current band is saved
// first, as the radio answers now, so that coming back to it finds it as it
// was left.
void FrontPanel::selectBandByDigit(int digit) {
  askFrequencyFirst();
  trackBand();
  bandIndex = digit == 0 ? 10 : digit;
  selectBand();
}
