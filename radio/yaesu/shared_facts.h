// The facts several models of the family share: the forms every one of them
// uses, their mode characters, meter calibrations, power ladders and width
// steps. Each model's file (ft991a.cpp, nine_digit_models.cpp,
// eight_digit_models.cpp) builds its table from these and says where its
// own differences come from.
//
// The sources: each radio's CAT reference, and Hamlib's newcat backend
// (rigs/yaesu/newcat.c and the model files rigs/yaesu/ft*.c and ft*.h),
// which its users bench-test on the real radios.
#pragma once

#include <array>

#include "radio/yaesu/model.h"

namespace yaesu::shared {

// The forms every model uses ("AG0", 3 digits, 0..255; "PA0" '0'/'1'), as
// Hamlib's newcat_set_level and newcat_set_func build them for all of them.
inline constexpr NumberForm power = {"PC", 3};  // newcat_set_level: "PC%03d"
inline constexpr NumberForm afGain = {"AG0", 3};
inline constexpr NumberForm rfGain = {"RG0", 3};
inline constexpr int highestGain = 255;
inline constexpr SwitchForm preamp = {"PA0", '0', '1'};      // 0 IPO, 1 AMP (1)
inline constexpr SwitchForm attenuator = {"RA0", '0', '1'};  // 0 off, 1 the first step
inline constexpr SwitchForm noiseBlanker = {"NB0", '0', '1'};
inline constexpr SwitchForm noiseReduction = {"NR0", '0', '1'};
inline constexpr SwitchForm notch = {"BC0", '0', '1'};  // the auto notch
// The processor, "PR0" and 0 off / 1 on. Hamlib's newcat_set_func
// (RIG_FUNC_COMP) notes that the manuals of several models write 1 off and
// 2 on, and that the radios take 0 and 1.
inline constexpr SwitchForm processor = {"PR0", '0', '1'};
// The tuner: "AC00", then 1 (in line, not tuning) or 2 (tuning starts):
// newcat_set_func(RIG_FUNC_TUNER) and newcat_vfo_op(RIG_OP_TUNE).
inline constexpr SwitchForm tuner = {"AC00", '1', '2'};
inline constexpr SwitchForm none = {"", 0, 0};
inline constexpr MeterForm sMeter = {"SM0", 3};
inline constexpr MeterForm swr = {"RM6", 3};
// The FTDX101's family answers "RM6" with six digits, the reading and
// "000" (newcat_get_level: "Some rigs like FTDX101 have 6-byte return").
inline constexpr MeterForm swrOfSix = {"RM6", 6};

// --- Coverage (each model file's rx_range_list in Hamlib) ---
inline constexpr std::array<FrequencyRange, 1> upTo56MHz = {{{30'000, 56'000'000}}};
inline constexpr std::array<FrequencyRange, 1> upTo60MHz = {{{30'000, 60'000'000}}};
// 30 kHz to 60 MHz, and the 4 m band (Hamlib's FRQ_RNG_4m rows; newcat_set_freq
// treats 70 to 70.5 MHz on the FTDX101 apart).
inline constexpr std::array<FrequencyRange, 2> upTo60MHzAnd4m = {{
    {30'000, 60'000'000},
    {70'000'000, 70'500'000},
}};

// --- Mode characters (newcat.c's newcat_mode_conv; each model's modes from
// its *_ALL_RX_MODES) ---
// The program's FM is the radio's narrow FM, 'B', where the radio has it.
// Its variants: CW on the lower side '7', narrow AM 'D', FM '4'. RTTY '6'
// and '9', data '8', 'C', 'A' (FM) and 'F' (narrow FM) have no word.
inline constexpr std::array<ModeCharacter, 13> modesWithNarrowAm = {{
    {'1', {1, 0}},
    {'2', {2, 0}},
    {'3', {3, 0}},
    {'5', {4, 0}},
    {'B', {5, 0}},
    {'7', {3, 1}},
    {'D', {4, 1}},
    {'4', {5, 1}},
    {'6', {0, 0}},
    {'8', {0, 0}},
    {'9', {0, 0}},
    {'A', {0, 0}},
    {'C', {0, 0}},
}};
// The FTDX101's family adds data in narrow FM.
inline constexpr std::array<ModeCharacter, 14> modesOfTheDx101 = {{
    {'1', {1, 0}},
    {'2', {2, 0}},
    {'3', {3, 0}},
    {'5', {4, 0}},
    {'B', {5, 0}},
    {'7', {3, 1}},
    {'D', {4, 1}},
    {'4', {5, 1}},
    {'6', {0, 0}},
    {'8', {0, 0}},
    {'9', {0, 0}},
    {'A', {0, 0}},
    {'C', {0, 0}},
    {'F', {0, 0}},
}};
// No narrow AM (FT-950, FTDX1200).
inline constexpr std::array<ModeCharacter, 12> modesWithoutNarrowAm = {{
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
    {'A', {0, 0}},
    {'C', {0, 0}},
}};

// --- Meters ---
// The S-meter table Hamlib gives most of the family (FT991_STR_CAL,
// FT950_STR_CAL, FTDX5000_STR_CAL, FT710_STR_CAL...): S1 at 12, S9 at 130,
// 10 dB over S9 at 150; each point taken from its own reading up.
inline constexpr std::array<MeterStep, 11> sMeterOfTheFamily = {{
    {149, 10},
    {129, 0},
    {111, -6},
    {94, -12},
    {79, -18},
    {64, -24},
    {54, -30},
    {39, -36},
    {26, -42},
    {11, -48},
    {0, -54},
}};
// Hamlib's yaesu_default_swr_cal (newcat.c), for the models without a
// table of their own: 1.0 at 12, 1.35 at 39, 1.5 at 65, 2.0 at 89, 5.0 at
// 242, straight between.
inline constexpr std::array<SwrRange, 6> swrOfTheFamily = {{
    {0, 10, 0},
    {12, 10, 27 / 3.5},
    {39, 13.5, 26 / 1.5},
    {65, 15, 24 / 5.0},
    {89, 20, 153 / 30.0},
    {242, 50, 0},
}};

// --- Power ladders: the P key's rungs ---
inline constexpr std::array<int, 11> ladderTo100 = {5, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
inline constexpr std::array<int, 16> ladderTo200 = {5,  10, 20,  30,  40,  50,  60,  70,
                                                    80, 90, 100, 120, 140, 160, 180, 200};

// --- Width steps from 1.8 kHz up: the W key's arrows ---
// ft991_ssb_widths (rigs/yaesu/ft991.c), which the FT-891 shares: step 21
// is 3.2 kHz.
inline constexpr std::array<WidthStep, 13> widthsOfThe991 = {{
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
}};
// ftdx101_ssb_widths (rigs/yaesu/ftdx101.c), which the FTDX10 and FT-710
// share: on to 4 kHz.
inline constexpr std::array<WidthStep, 15> widthsOfTheDx101 = {{
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
    {22, 3500},
    {23, 4000},
}};

// What most of the family is, each model's table starting from it: nine
// digits, HF and 6 m, 5 to 100 W, the FT-991's width steps in "SH0" and two
// digits, every switch, the tuner, and the family's meters.
inline constexpr Model familyModel = {
    .name = "",
    .identity = 0,
    .frequencyDigits = 9,
    .coverage = upTo56MHz,
    .modes = modesWithNarrowAm,
    .power = power,
    .lowestWatts = 5,
    .highestWatts = 100,
    .afGain = afGain,
    .rfGain = rfGain,
    .highestGain = highestGain,
    .width = {"SH0", 2},
    .preamp = preamp,
    .attenuator = attenuator,
    .noiseBlanker = noiseBlanker,
    .noiseReduction = noiseReduction,
    .notch = notch,
    .processor = processor,
    .tuner = tuner,
    .sMeter = sMeter,
    .sMeterDb = sMeterOfTheFamily,
    .swr = swr,
    .swrTenths = swrOfTheFamily,
    .facts = {ladderTo100, widthsOfThe991, {}},
};

}  // namespace yaesu::shared
