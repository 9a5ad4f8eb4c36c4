// The fixed tables of the radio controls: the amateur bands, the modes and
// the band coverage of the radio models, and the frequencies a command can
// carry.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "state/words.h"

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
  // The band's name in metres (70 cm is said "70").
  word::Word word;
  // The preamp as the band is selected or typed: off on the low bands,
  // where the band noise is above the receiver's own.
  bool preamp;
  // M offers FM (from 10 m up); in FM the frequency steps of Page Up and
  // Page Down are 12.5 kHz channels (2 m and 70 cm).
  bool fm;
  bool fmChannels;
};

constexpr int firstBand = 1;
constexpr int lastBand = 13;
constexpr int noBand = 99;  // bandIndex outside every band

// Indexed by bandIndex 1..13; row 0 is unused.
constexpr std::array<BandRow, 14> bandTable = {{
    {0, 0, 0, 0, 0, "", "", false, false, false},
    {17, 21, 1, 1, 1'900'000, "1", word::band160, false, false, false},          // 160 m, LSB
    {34, 41, 3, 3, 3'600'000, "1", word::band80, false, false, false},           // 80 m, LSB
    {49, 56, 5, 5, 5'400'000, "2", word::band60, false, false, false},           // 60 m, USB
    {69, 74, 7, 7, 7'100'000, "1", word::band40, false, false, false},           // 40 m, LSB
    {99, 102, 10, 10, 10'100'000, "3", word::band30, false, false, false},       // 30 m, CW
    {139, 144, 14, 14, 14'200'000, "2", word::band20, true, false, false},       // 20 m, USB
    {180, 182, 18, 18, 18'100'000, "2", word::band17, true, false, false},       // 17 m, USB
    {209, 215, 21, 21, 21'200'000, "2", word::band15, true, false, false},       // 15 m, USB
    {246, 250, 24, 24, 24'890'000, "2", word::band12, true, false, false},       // 12 m, USB
    {279, 301, 28, 29, 28'500'000, "2", word::band10, true, true, false},        // 10 m, USB
    {500, 530, 50, 54, 50'150'000, "2", word::digit(6), true, true, false},      // 6 m, USB
    {1439, 1481, 144, 148, 145'000'000, "5", word::digit(2), true, true, true},  // 2 m, FM
    {4299, 4400, 430, 439, 432'000'000, "5", word::band70, true, true, true},    // 70 cm, FM
}};

constexpr bool isBand(int band) { return band >= firstBand && band <= lastBand; }

// FM is offered on the bands of the table's column; outside every band it
// is not.
constexpr bool offersFm(int band) { return isBand(band) && bandTable[band].fm; }
// 12.5 kHz FM channels on the bands of the table's column, and outside
// every band (above 70 cm, between the bands).
constexpr bool hasFmChannels(int band) {
  return band == noBand || (isBand(band) && bandTable[band].fmChannels);
}

// The program's modes; the radio's own names for them are in its dialect's
// facts table (radio/yaesu/ft991a.cpp).
struct ModeRow {
  const char* label;  // printed; trailing blanks cover a longer label
  word::Word word;    // said
};

constexpr int firstMode = 1;
constexpr int lastMode = 5;
constexpr int usbMode = 2;
constexpr int amMode = 4;
constexpr int fmMode = 5;

// Indexed by modeIndex 1..5 (LSB, USB, CW, AM, FM); row 0 is unused.
constexpr std::array<ModeRow, 6> modeTable = {{
    {"", ""},
    {"LSB ", word::lsb},
    {"USB ", word::usb},
    {"CW    ", word::cw},
    {"AM    ", word::am},
    {"FM   ", word::fm},
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

// The frequencies the program works with: nine digits of hertz, as a typed
// entry's digits lead them and "memory.dat" keeps them.
constexpr int frequencyDigits = 9;
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
