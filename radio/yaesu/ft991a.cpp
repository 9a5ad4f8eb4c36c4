// The FT-991A's facts: its CAT forms, the values it takes and how its
// meters read. Its coverage and mode characters are those of Hamlib's
// ft991 and newcat tables; the forms, the meter scales and the width words
// are the ones this program has always used with it.
#include "radio/yaesu/ft991a.h"

#include <array>

namespace yaesu {

namespace {

// What it receives: 30 kHz to 56 MHz, 118 to 164 MHz, 420 to 470 MHz.
constexpr std::array<FrequencyRange, 3> coverage = {{
    {30'000, 56'000'000},
    {118'000'000, 164'000'000},
    {420'000'000, 470'000'000},
}};

// Its mode characters. The program sets LSB '1', USB '2', CW '3', AM '5'
// and FM 'B' (the radio's narrow FM); its variants of these are CW on the
// lower side '7', narrow AM 'D' and FM '4'; RTTY, data and C4FM have no
// word.
constexpr std::array<ModeCharacter, 14> modes = {{
    {'1', {1, 0}},
    {'2', {2, 0}},
    {'3', {3, 0}},
    {'5', {4, 0}},
    {'B', {5, 0}},
    {'7', {3, 1}},
    {'D', {4, 1}},
    {'4', {5, 1}},
    {'6', {0, 0}},  // RTTY, lower side
    {'8', {0, 0}},  // data, lower side
    {'9', {0, 0}},  // RTTY, upper side
    {'A', {0, 0}},  // data FM
    {'C', {0, 0}},  // data, upper side
    {'E', {0, 0}},  // C4FM
}};

// The S-meter's reading (0..255) in decibels over S9: S0 .. S8 six decibels
// apart, S9, and over S9 above 156.
constexpr std::array<MeterStep, 11> sMeterDb = {{
    {156, 10},
    {122, 0},
    {108, -6},
    {96, -12},
    {82, -18},
    {68, -24},
    {54, -30},
    {40, -36},
    {20, -42},
    {10, -48},
    {0, -54},  // and every lower reading
}};

// The SWR meter's reading (0..255) as the ratio in tenths: 1.0 up to 50,
// then a tenth each 7 up to 2.0 at 120, each 10 to 160, each 2 to 180,
// each 2.5 to 200, and above 5 from there.
constexpr std::array<SwrRange, 6> swrTenths = {{
    {0, 10, 0},
    {50, 10, 7},
    {120, 20, 10},
    {160, 30, 2},
    {180, 40, 2.5},
    {200, 50, 0},
}};

// The P key's steps, in watts.
constexpr std::array<int, 11> powerLadder = {5, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

// The receive filter's width steps the W key goes through, said 1.8, 1.9,
// 2.1 .. 3.1 kHz: the scale has no 2.0.
constexpr std::array<WidthStep, 13> widths = {{
    {9, 1800},
    {10, 1900},
    {11, 2100},
    {12, 2200},
    {13, 2300},
    {14, 2400},
    {15, 2500},
    {16, 2600},
    {17, 2700},
    {18, 2800},
    {19, 2900},
    {20, 3000},
    {21, 3100},
}};

}  // namespace

const Model ft991a = {
    .name = "FT-991A",
    .identity = "0670",
    .frequencyDigits = 9,
    .coverage = coverage,
    .modes = modes,
    .power = {"PC0", 3},
    .lowestWatts = 5,
    .highestWatts = 100,
    .afGain = {"AG0", 3},
    .rfGain = {"RG0", 3},
    .highestGain = 255,
    .width = {"SH0", 2},
    .preamp = {"PA0", '0', '1'},
    .attenuator = {"RA0", '0', '1'},
    .noiseBlanker = {"NB0", '0', '1'},
    .noiseReduction = {"NR0", '0', '1'},
    .notch = {"BC0", '0', '1'},
    .processor = {"PR0", '1', '2'},
    .tuner = {"AC00", '1', '2'},
    .sMeter = {"SM0", 3},
    .sMeterDb = sMeterDb,
    .swr = {"RM6", 3},
    .swrTenths = swrTenths,
    .facts = {powerLadder, widths},
};

}  // namespace yaesu
