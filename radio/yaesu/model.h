// What a Yaesu radio is, as data: the facts its CAT commands and replies
// follow, in the way a capability table describes a radio. The program's
// Yaesu dialect speaks to a radio from its model's table, and quelmo-sim
// takes from the same table what it accepts and refuses, so the two cannot
// disagree. Each model of the family is one instance; models.h lists them.
#pragma once

#include <span>
#include <string_view>

#include "radio/radio.h"

namespace yaesu {

// A set command that carries a number: its head and the count of digits,
// with leading zeros ("PC0" and 3: "PC0100").
struct NumberForm {
  std::string_view head;
  int digits;
};

// A function switched by one command: its head and its values for off and
// for on ("PR0", '0' off, '1' on). No head: the model has no such command.
struct SwitchForm {
  std::string_view head;
  char off;
  char on;
};

// The radio's mode character and what it is to the program.
struct ModeCharacter {
  char character;
  RadioMode mode;
};

// Frequencies the radio tunes to, both ends included.
struct FrequencyRange {
  int lowestHz;
  int highestHz;
};

// A meter's reading (0..255) as a value: the first step whose reading the
// meter's reading is above gives its value; a reading at or below every
// step gives the last step's value.
struct MeterStep {
  int above;
  int value;
};

// The SWR meter: from its reading `from` on, the ratio in tenths is
// `tenths` and one more tenth for each `perTenth` of reading above it
// (rounded); perTenth 0 keeps it at `tenths`.
struct SwrRange {
  int from;
  double tenths;
  double perTenth;
};

// A meter: its question and the digits of its reply ("SM0" + 3 digits).
// The reading, 0..255, is the first three digits; a reply of six has three
// more after them.
struct MeterForm {
  std::string_view query;
  int digits;
};

struct Model {
  std::string_view name;
  // Its answer to "ID;" as a number: the radio gives it in four digits
  // ("ID0670;"), which are read as the number they make.
  int identity;
  int frequencyDigits;  // of "FA" and of its reply: 9, or 8 on the older models
  std::span<const FrequencyRange> coverage;
  std::span<const ModeCharacter> modes;  // the program's modes first, in their order
  NumberForm power;
  int lowestWatts;
  int highestWatts;
  NumberForm afGain;
  NumberForm rfGain;
  int highestGain;
  NumberForm width;
  SwitchForm preamp;
  SwitchForm attenuator;
  SwitchForm noiseBlanker;
  SwitchForm noiseReduction;
  SwitchForm notch;
  SwitchForm processor;
  SwitchForm tuner;  // off: the tuning ends, the tuner in line; on: it tunes
  MeterForm sMeter;
  std::span<const MeterStep> sMeterDb;  // decibels over S9
  MeterForm swr;
  std::span<const SwrRange> swrTenths;
  RadioFacts facts;  // the power ladder and the width steps
};

}  // namespace yaesu
