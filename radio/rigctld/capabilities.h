// What a radio behind rigctld has, as rigctld's "\dump_caps" tells it: its
// model, the functions and levels it sets, the steps of its preamp and
// attenuator, whether it tunes and transmits on command.
#pragma once

#include <string>
#include <vector>

#include "radio/radio.h"
#include "radio/rigctld/protocol.h"

namespace rigctld {

struct Capabilities {
  std::vector<int> preampDb;  // the steps it offers, in dB, as it lists them
  std::vector<int> attenuatorDb;
  unsigned lacking = 0;  // as RadioFacts::lacking
  bool sMeter = true;    // it reads its S-meter (Hamlib's STRENGTH)
  bool swr = true;
  bool powerSwitch = true;  // it is switched on and off on command
};

// The capabilities a "\dump_caps" reply lists.
Capabilities capabilitiesOf(const Reply& reply);

}  // namespace rigctld
