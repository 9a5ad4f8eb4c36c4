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
  return "FA" + zeroPadded(withinFrequencyRange(hz), 9);
}

bool isModeAndFrequency(std::string_view text) {
  if (text.size() != 10 || text[0] < '1' || text[0] > '0' + lastMode) return false;
  return std::all_of(text.begin() + 1, text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
