// The FT-991A, the radio the program was written for, and the FT-991 before
// it, which answers "ID0570;" and has the same CAT: their forms, the values
// they take and how their meters read. The coverage and the mode characters
// are those of Hamlib's ft991.c and newcat.c; the meter scales are the ones
// this program has always used with the FT-991A.
#include <array>

#include "radio/yaesu/models.h"
#include "radio/yaesu/shared_facts.h"

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

}  // namespace

// The forms in which the table differs from what the program sent before
// it had tables: the power is "PC" and three digits, as the radio's CAT
// reference writes P1 (005-100) and Hamlib's newcat_set_level sends it
// ("PC%03d"), where the program sent "PC0" and three; the processor is 0
// off and 1 on (shared::processor), where the program sent 1 and 2 as the
// CAT reference writes them. Its step 21 is 3.2 kHz (ft991_ssb_widths).
constexpr Model ft991a = [] {
  Model model = shared::familyModel;
  model.name = "FT-991A";
  model.identity = 670;
  model.coverage = coverage;
  model.modes = modes;
  model.sMeterDb = sMeterDb;
  model.swrTenths = swrTenths;
  return model;
}();

constexpr Model ft991 = [] {
  Model model = ft991a;
  model.name = "FT-991";
  model.identity = 570;
  return model;
}();

}  // namespace yaesu
