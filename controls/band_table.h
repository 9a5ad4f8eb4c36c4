// The fixed tables of the radio controls: the amateur bands, the modes and
// the band coverage of the radio models, and the frequencies a command can
// carry.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "platform/text.h"

struct BandRow {
  // Band tracking: x = frequency in hundreds of kHz, the band when
  // trackAbove < x < trackBelow (both bounds excluded).
  int trackAbove;
  int trackBelow;
  // Direct entry: the whole megahertz typed, entryLow..entryHigh.
  int entryLow;
  int entryHigh;
  // The band memory before "memory.dat" is read.
  int initialHz;
  const char* initialMode;  // mode digit "1".."5"
  // The band's name in metres as a recorded word (70 cm is said "70").
  const char* word;
};

constexpr int firstBand = 1;
constexpr int lastBand = 13;
constexpr int noBand = 99;  // bandIndex outside every band

// Indexed by bandIndex 1..13; row 0 is unused.
constexpr std::array<BandRow, 14> bandTable = {{
    {0, 0, 0, 0, 0, "", ""},
    {17, 21, 1, 1, 1'900'000, "1", "160"},           // 160 m, LSB
    {34, 41, 3, 3, 3'600'000, "1", "80"},            // 80 m, LSB
    {49, 56, 5, 5, 5'400'000, "2", "60"},            // 60 m, USB
    {69, 74, 7, 7, 7'100'000, "1", "40"},            // 40 m, LSB
    {99, 102, 10, 10, 10'100'000, "3", "30"},        // 30 m, CW
    {139, 144, 14, 14, 14'200'000, "2", "20"},       // 20 m, USB
    {180, 182, 18, 18, 18'100'000, "2", "17"},       // 17 m, USB
    {209, 215, 21, 21, 21'200'000, "2", "15"},       // 15 m, USB
    {246, 250, 24, 24, 24'890'000, "2", "12"},       // 12 m, USB
    {279, 301, 28, 29, 28'500'000, "2", "10"},       // 10 m, USB
    {500, 530, 50, 54, 50'150'000, "2", "6"},        // 6 m, USB
    {1439, 1481, 144, 148, 145'000'000, "5", "2"},   // 2 m, FM
    {4299, 4400, 430, 439, 432'000'000, "5", "70"},  // 70 cm, FM
}};

constexpr bool isBand(int band) { return band >= firstBand && band <= lastBand; }

struct ModeRow {
  const char* label;  // printed; trailing blanks cover a longer label
  char radioMode;     // the radio's mode character, of its mode command
};

constexpr int firstMode = 1;
constexpr int lastMode = 5;
constexpr int usbMode = 2;
constexpr int amMode = 4;
constexpr int fmMode = 5;

// Indexed by modeIndex 1..5 (LSB, USB, CW, AM, FM); row 0 is unused.
constexpr std::array<ModeRow, 6> modeTable = {{
    {"", 0},
    {"LSB ", '1'},
    {"USB ", '2'},
    {"CW    ", '3'},
    {"AM    ", '5'},
    {"FM   ", 'B'},
}};

constexpr bool isMode(int mode) { return mode >= firstMode && mode <= lastMode; }

// Where the mode's label is printed.
constexpr int modeX = 50;
constexpr int modeY = 45;

// The number of bands a radio covers (bands 1..N), named in the configuration
// by the first character of its highest band: "1" 10 m, "6" 6 m, "2" 2 m,
// "7" 70 cm. Any other code is taken as "7", all thirteen bands, so that band
// steps still come round at the ends.
int bandsCovered(std::string_view bandCoverage);

// The initial band memory: frequency commands and mode digits, indexed by
// band 1..13.
void fillInitialBandMemory(std::array<Text, 14>& bandFrequency, std::array<Text, 14>& bandMode);

// Frequencies the radio can be told: a frequency command has nine digits.
constexpr int lowestFrequencyHz = 0;
constexpr int highestFrequencyHz = 999'999'999;

// A frequency kept within those nine digits: a step past either end stops
// at the end.
constexpr int withinFrequencyRange(long long hz) {
  return static_cast<int>(std::clamp<long long>(hz, lowestFrequencyHz, highestFrequencyHz));
}

// The frequency as the window shows it and the F key says it: the megahertz
// right-aligned in three characters, its leading zeros blank, then "." and
// the six digits below it (" 14.200000", "  7.100000", "   .136000").
std::string frequencyDisplayText(int hz);

// True when text is a mode digit "1".."5" followed by nine frequency digits:
// a band line of "memory.dat" and a stored memory channel have that form.
bool isModeAndFrequency(std::string_view text);
