#include "controls/band_table.h"

#include <algorithm>

int bandsCovered(std::string_view bandCoverage) {
  if (bandCoverage == "1") return 10;
  if (bandCoverage == "6") return 11;
  if (bandCoverage == "2") return 12;
  if (bandCoverage == "7") return 13;
  return 0;
}

void fillInitialBandMemory(std::array<Text, 14>& bandFrequency, std::array<Text, 14>& bandMode) {
  for (int band = firstBand; band <= lastBand; ++band) {
    bandFrequency[band] = bandTable[band].initialFrequency;
    bandMode[band] = bandTable[band].initialMode;
  }
}

void fillModeCommands(std::array<Text, 6>& modeCommand) {
  for (int mode = firstMode; mode <= lastMode; ++mode) modeCommand[mode] = modeTable[mode].command;
}

std::string frequencyCommand(int hz) {
  return "FA" + zeroPadded(std::clamp(hz, lowestFrequencyHz, highestFrequencyHz), 9);
}
