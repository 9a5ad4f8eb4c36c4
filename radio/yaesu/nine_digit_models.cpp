// The newer models that give the frequency in nine digits, as the FT-991A
// does ("FA014250000;"): the FT-891, and the FTDX101D, FTDX101MP, FTDX10 and
// FT-710, whose CAT shares the FTDX101's forms. Where each differs from
// the FT-991A, and where that comes from.
#include <array>

#include "radio/yaesu/models.h"
#include "radio/yaesu/shared_facts.h"

namespace yaesu {

namespace {

// The FT-891's modes (FT891_ALL_RX_MODES): FM and narrow FM, no narrow AM,
// no data FM.
constexpr std::array<ModeCharacter, 11> modesOfThe891 = {{
    {'1', {1, 0}},
    {'2', {2, 0}},
    {'3', {3, 0}},
    {'5', {4, 0}},
    {'B', {5, 0}},
    {'7', {3, 1}},
    {'4', {5, 1}},
    {'6', {0, 0}},
    {'8', {0, 0}},
    {'9', {0, 0}},
    {'C', {0, 0}},
}};

// The FTDX101's S-meter (FTDX101D_STR_CAL, rigs/yaesu/ftdx101.h): S1 at
// 25, S9 at 160, 60 dB over it at 255, straight between; each S unit taken
// from its own reading up.
constexpr std::array<MeterStep, 11> sMeterOfTheDx101 = {{
    {175, 10},
    {159, 0},
    {135, -6},
    {118, -12},
    {101, -18},
    {84, -24},
    {67, -30},
    {50, -36},
    {33, -42},
    {24, -48},
    {0, -54},
}};

// The FTDX101's SWR meter (FTDX101D_SWR_CAL; FTDX10_SWR_CAL and
// FT710_SWR_CAL are the same): 1.0 at 0, 1.2 at 26, 1.5 at 52, 2.0 at 89,
// 3.0 at 126, 4.0 at 173, 5.0 at 236, straight between.
constexpr std::array<SwrRange, 7> swrOfTheDx101 = {{
    {0, 10, 13},
    {26, 12, 26 / 3.0},
    {52, 15, 37 / 5.0},
    {89, 20, 3.7},
    {126, 30, 4.7},
    {173, 40, 6.3},
    {236, 50, 0},
}};

// The FTDX101D as it is: nine digits, 5 to 100 W, to 60 MHz and the 4 m
// band. Its width is "SH0", the receiver (0 the main one), 0 and two
// digits: "SH00" and the step (newcat_set_rx_bandwidth; "SH014" reaches the
// sub receiver); its SWR reply has six digits. Its processor is "PR0" and
// 0 off / 1 on, confirmed on an FTDX101MP.
constexpr Model ftdx101Family = [] {
  Model model = shared::familyModel;
  model.name = "FTDX101D";
  model.identity = 681;
  model.coverage = shared::upTo60MHzAnd4m;
  model.modes = shared::modesOfTheDx101;
  model.width = {"SH00", 2};
  model.sMeterDb = sMeterOfTheDx101;
  model.swr = shared::swrOfSix;
  model.swrTenths = swrOfTheDx101;
  model.facts.widths = shared::widthsOfTheDx101;
  return model;
}();

}  // namespace

constexpr Model ftdx101d = ftdx101Family;

// The FTDX101MP: 200 W (its tx_range_list in rigs/yaesu/ftdx101mp.c).
constexpr Model ftdx101mp = [] {
  Model model = ftdx101Family;
  model.name = "FTDX101MP";
  model.identity = 682;
  model.highestWatts = 200;
  model.facts.powerLadder = shared::ladderTo200;
  return model;
}();

// The FTDX10: the FTDX101's forms (newcat_set_rx_bandwidth sends it
// "SH00" and the step). Hamlib's newcat_set_func leaves it out of the
// models it sends "PR0" to; its CAT reference follows the FTDX101's, where
// "PR0" and a digit is the processor, so the FTDX101's form is kept: an
// FTDX10 that refuses it says "refused". Hamlib has no S-meter table for
// it: the FTDX101's is used.
constexpr Model ftdx10 = [] {
  Model model = ftdx101Family;
  model.name = "FTDX10";
  model.identity = 761;
  return model;
}();

// The FT-710: the FTDX101's forms, but a tuning starts with "AC003"
// (newcat_vfo_op, RIG_OP_TUNE), and its S-meter is the family's
// (FT710_STR_CAL). Hamlib's tx_range_list says 200 W, copied from another
// model: the radio is a 100 W one, and its CAT reference takes PC 005-100.
constexpr Model ft710 = [] {
  Model model = ftdx101Family;
  model.name = "FT-710";
  model.identity = 800;
  model.tuner = {"AC00", '1', '3'};
  model.sMeterDb = shared::sMeterOfTheFamily;
  return model;
}();

// The FT-891: HF and 6 m, nine digits. Its width needs the width function
// switched on with it: "SH0", 1 and the step (newcat_set_rx_bandwidth,
// "some rigs now require the bandwidth be turned on"), with the FT-991's
// steps (ft891.c shares ft991_ssb_widths). Hamlib's rx range for it
// reaches 470 MHz, the FT-991's; it transmits on HF and 6 m only
// (FRQ_RNG_HF, FRQ_RNG_6m), and receives to 56 MHz.
constexpr Model ft891 = [] {
  Model model = shared::familyModel;
  model.name = "FT-891";
  model.identity = 135;
  model.modes = modesOfThe891;
  model.width = {"SH01", 2};
  return model;
}();

}  // namespace yaesu
