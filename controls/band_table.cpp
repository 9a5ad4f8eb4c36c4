#include "controls/band_table.h"

#include <algorithm>

#include "radio/cat.h"

int bandsCovered(std::string_view bandCoverage) {
  if (bandCoverage == "1") return 10;
  if (bandCoverage == "6") return 11;
  if (bandCoverage == "2") return 12;
  return 13;  // "7", and any code the table does not know: every band
}

void fillInitialBandMemory(std::array<Text, 14>& bandFrequency, std::array<Text, 14>& bandMode) {
  for (int band = firstBand; band <= lastBand; ++band) {
    bandFrequency[band] = cat::frequency(bandTable[band].initialHz);
    bandMode[band] = bandTable[band].initialMode;
  }
}

std::string frequencyDisplayText(int hz) {
  std::string digits = zeroPadded(withinFrequencyRange(hz), 9);
  std::size_t zeros = 0;
  while (zeros < 3 && digits[zeros] == '0') ++zeros;
  return blanks(static_cast<int>(zeros)) + digits.substr(zeros, 3 - zeros) + "." + digits.substr(3);
}

bool isModeAndFrequency(std::string_view text) {
  if (text.size() != 10 || text[0] < '1' || text[0] > '0' + lastMode) return false;
  return std::all_of(text.begin() + 1, text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
