#include "command_forms.h"

#include <array>
#include <string>
#include <vector>

#include "radio/cat.h"
#include "state/band_table.h"

namespace {

std::string ended(std::string_view command) {
  return std::string(command) + std::string(cat::terminator);
}

// Commands that are always the same text, spelled by the CAT vocabulary.
const std::vector<std::string>& fixedCommands() {
  static const std::vector<std::string> commands = [] {
    std::vector<std::string> all = {ended(cat::frequencyQuery), ended(cat::sMeterQuery),
                                    ended(cat::swrQuery), ended(cat::modeQuery),
                                    ended(cat::wakeUp)};
    for (int mode = firstMode; mode <= lastMode; ++mode) {
      all.push_back(ended(cat::mode(modeTable[mode].radioMode)));
    }
    for (bool on : {false, true}) {
      all.push_back(ended(cat::transmit(on)));
      all.push_back(ended(cat::tuner(on)));
      all.push_back(ended(cat::powerSwitch(on)));
      for (const cat::Switch* function : {&cat::preamp, &cat::attenuator, &cat::noiseBlanker,
                                          &cat::noiseReduction, &cat::notch, &cat::processor}) {
        all.push_back(ended(cat::switched(*function, on)));
      }
    }
    return all;
  }();
  return commands;
}

// Commands that carry a number of a fixed count of digits, within the range
// the program ever sets: the frequency, the power ladder, the gains and the
// filter widths.
struct NumberedForm {
  std::string_view head;
  int digits;
  long lowest;
  long highest;
};

constexpr std::array<NumberedForm, 5> numberedCommands = {{
    {cat::frequencyHead, cat::frequencyDigits, 0, 999'999'999},
    {cat::powerHead, cat::levelDigits, 5, 100},
    {cat::afGainHead, cat::levelDigits, 0, 250},
    {cat::rfGainHead, cat::levelDigits, 0, 250},
    {cat::widthHead, cat::widthDigits, 9, 21},
}};

bool matchesNumbered(std::string_view text, const NumberedForm& form) {
  std::size_t digits = static_cast<std::size_t>(form.digits);
  if (text.size() != form.head.size() + digits + 1 || !text.starts_with(form.head) ||
      !text.ends_with(cat::terminator)) {
    return false;
  }
  long value = 0;
  for (char c : text.substr(form.head.size(), digits)) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value >= form.lowest && value <= form.highest;
}

}  // namespace

bool isProgramCommand(std::string_view text) {
  for (const std::string& fixed : fixedCommands()) {
    if (text == fixed) return true;
  }
  for (const NumberedForm& form : numberedCommands) {
    if (matchesNumbered(text, form)) return true;
  }
  return false;
}
