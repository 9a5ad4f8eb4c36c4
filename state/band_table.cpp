#include "state/band_table.h"

#include <algorithm>

namespace {

struct CoverageRow {
  std::string_view code;
  int bands;
};

constexpr std::array<CoverageRow, 4> coverageTable = {{
    {"1", 10},  // up to 10 m
    {"6", 11},  // 6 m
    {"2", 12},  // 2 m
    {"7", 13},  // 70 cm
}};

}  // namespace

int bandsCovered(std::string_view bandCoverage) {
  for (const CoverageRow& row : coverageTable) {
    if (row.code == bandCoverage) return row.bands;
  }
  return lastBand;  // a code the table does not know: every band
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
