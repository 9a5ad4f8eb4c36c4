// The older models that give and take the frequency in eight digits
// ("FA14250000;", as the CAT references of the FT-450 and FT-950 write
// their example; newcat_get_vfo_mode tells them by their 27-byte "IF"
// reply): the FT-450 and FT-450D, the FT-950, the FT-2000 and FT-2000D,
// the FTDX1200, FTDX3000 and FTDX5000. Where each differs from the FT-991A,
// and where that comes from.
#include <array>

#include "radio/yaesu/models.h"
#include "radio/yaesu/shared_facts.h"

namespace yaesu {

namespace {

// The FT-450's modes (FT450_ALL_RX_MODES, FT450_FM_RX_MODES): FM is '4',
// and there is no narrow FM or AM.
constexpr std::array<ModeCharacter, 11> modesOfThe450 = {{
    {'1', {1, 0}},
    {'2', {2, 0}},
    {'3', {3, 0}},
    {'5', {4, 0}},
    {'4', {5, 0}},
    {'7', {3, 1}},
    {'6', {0, 0}},
    {'8', {0, 0}},
    {'9', {0, 0}},
    {'A', {0, 0}},
    {'C', {0, 0}},
}};

// The FT-450's S-meter (FT450_STR_CAL): S0 at 10 ... S9 at 125, 60 dB over
// at 240, straight between; each S unit taken from its own reading up.
constexpr std::array<MeterStep, 11> sMeterOfThe450 = {{
    {144, 10},
    {124, 0},
    {113, -6},
    {101, -12},
    {90, -18},
    {78, -24},
    {67, -30},
    {55, -36},
    {44, -42},
    {32, -48},
    {0, -54},
}};

// The FT-450's widths: Hamlib notes that its manual lacks them, and sets
// SSB widths of 1.8, 2.4 and 3 kHz as steps 8, 16 and 25
// (newcat_set_rx_bandwidth, the FT-450 branch).
constexpr std::array<WidthStep, 3> widthsOfThe450 = {{
    {8, 1800},
    {16, 2400},
    {25, 3000},
}};

// ft950_ssb_widths (rigs/yaesu/ft950.c): to 3 kHz.
constexpr std::array<WidthStep, 12> widthsOfThe950 = {{
    {9, 1800},
    {10, 1950},
    {11, 2100},
    {12, 2250},
    {13, 2400},
    {14, 2450},
    {15, 2500},
    {16, 2600},
    {17, 2700},
    {18, 2800},
    {19, 2900},
    {20, 3000},
}};

// ft2000_ssb_widths (rigs/yaesu/ft2000.c): from 1.8 kHz at step 8 to 4 kHz.
constexpr std::array<WidthStep, 24> widthsOfThe2000 = {{
    {8, 1800},  {9, 1900},  {10, 2000}, {11, 2100}, {12, 2150}, {13, 2200}, {14, 2300}, {15, 2350},
    {16, 2400}, {17, 2500}, {18, 2600}, {19, 2700}, {20, 2800}, {21, 2900}, {22, 3000}, {23, 3100},
    {24, 3200}, {25, 3300}, {26, 3400}, {27, 3500}, {28, 3600}, {29, 3700}, {30, 3800}, {31, 4000},
}};

// ftdx1200_ssb_widths (rigs/yaesu/ft1200.c), which the FTDX3000 shares:
// step 21 is 3.2 kHz, on to 4 kHz.
constexpr std::array<WidthStep, 17> widthsOfThe1200 = {{
    {9, 1800},
    {10, 1950},
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
    {21, 3200},
    {22, 3400},
    {23, 3600},
    {24, 3800},
    {25, 4000},
}};

// ftdx5000_ssb_widths (rigs/yaesu/ft5000.c), its steps 13 and 14 both
// 2.4 kHz as Hamlib has them.
constexpr std::array<WidthStep, 17> widthsOfThe5000 = {{
    {9, 1800},
    {10, 1950},
    {11, 2100},
    {12, 2250},
    {13, 2400},
    {14, 2400},
    {15, 2500},
    {16, 2600},
    {17, 2700},
    {18, 2800},
    {19, 2900},
    {20, 3000},
    {21, 3200},
    {22, 3400},
    {23, 3600},
    {24, 3800},
    {25, 4000},
}};

// Eight digits; otherwise the family's forms, meters and the 991's widths.
constexpr Model eightDigitFamily = [] {
  Model model = shared::familyModel;
  model.frequencyDigits = 8;
  return model;
}();

// The speech processor of the FTDX5000, FT-950 and FT-2000 is "PR" and 0
// or 1, without the 0 before it (newcat_set_func, RIG_FUNC_COMP).
constexpr SwitchForm processorWithoutTheZero = {"PR", '0', '1'};

}  // namespace

// The FT-450: up to 60 MHz; no notch and no speech processor command
// (newcat.c's valid_commands: no BC and no PR on the FT-450).
constexpr Model ft450 = [] {
  Model model = eightDigitFamily;
  model.name = "FT-450";
  model.identity = 241;
  model.coverage = shared::upTo60MHz;
  model.modes = modesOfThe450;
  model.notch = shared::none;
  model.processor = shared::none;
  model.sMeterDb = sMeterOfThe450;
  model.facts.widths = widthsOfThe450;
  return model;
}();

// The FT-450D: the FT-450 with a tuner.
constexpr Model ft450d = [] {
  Model model = ft450;
  model.name = "FT-450D";
  model.identity = 244;
  return model;
}();

// The FT-950: to 56 MHz, no narrow AM (FT950_ALL_RX_MODES).
constexpr Model ft950 = [] {
  Model model = eightDigitFamily;
  model.name = "FT-950";
  model.identity = 310;
  model.modes = shared::modesWithoutNarrowAm;
  model.processor = processorWithoutTheZero;
  model.facts.widths = widthsOfThe950;
  return model;
}();

// The FT-2000: to 60 MHz.
constexpr Model ft2000 = [] {
  Model model = eightDigitFamily;
  model.name = "FT-2000";
  model.identity = 251;
  model.coverage = shared::upTo60MHz;
  model.processor = processorWithoutTheZero;
  model.facts.widths = widthsOfThe2000;
  return model;
}();

// The FT-2000D: 200 W (newcat.c reuses the FT-2000D's power meter for the
// FT-2000 "so need to divide by 2").
constexpr Model ft2000d = [] {
  Model model = ft2000;
  model.name = "FT-2000D";
  model.identity = 252;
  model.highestWatts = 200;
  model.facts.powerLadder = shared::ladderTo200;
  return model;
}();

// The FTDX1200: to 56 MHz, no narrow AM (FTDX1200_ALL_RX_MODES); "PR0"
// and 0 or 1.
constexpr Model ftdx1200 = [] {
  Model model = eightDigitFamily;
  model.name = "FTDX1200";
  model.identity = 583;
  model.modes = shared::modesWithoutNarrowAm;
  model.facts.widths = widthsOfThe1200;
  return model;
}();

// The FTDX3000: to 60 MHz (rigs/yaesu/ft3000.c, whose rows are the
// FTDX5000's; its 200 W rows are the FTDX5000's too: the FTDX3000 is a
// 100 W radio); "PR0" and 0 or 1.
constexpr Model ftdx3000 = [] {
  Model model = eightDigitFamily;
  model.name = "FTDX3000";
  model.identity = 462;
  model.coverage = shared::upTo60MHz;
  model.facts.widths = widthsOfThe1200;
  return model;
}();

// The FTDX5000: to 60 MHz, 200 W (rigs/yaesu/ft5000.c); "PR" and 0 or 1.
constexpr Model ftdx5000 = [] {
  Model model = eightDigitFamily;
  model.name = "FTDX5000";
  model.identity = 362;
  model.coverage = shared::upTo60MHz;
  model.highestWatts = 200;
  model.processor = processorWithoutTheZero;
  model.facts.powerLadder = shared::ladderTo200;
  model.facts.widths = widthsOfThe5000;
  return model;
}();

}  // namespace yaesu
