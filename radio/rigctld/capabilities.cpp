#include "radio/rigctld/capabilities.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "platform/text.h"

namespace rigctld {

namespace {

// The words of a list line ("NB COMP ANF"); a level's range after its name
// ("PREAMP(0..0/0)") left off.
std::vector<std::string> namesIn(const std::string& list) {
  std::vector<std::string> names;
  std::istringstream words(list);
  for (std::string word; words >> word;) names.push_back(word.substr(0, word.find('(')));
  return names;
}

// The steps of a line such as "10dB 20dB"; none for "None".
std::vector<int> decibelsIn(const std::string& list) {
  std::vector<int> steps;
  for (const std::string& word : namesIn(list)) {
    if (word.ends_with("dB") && word.size() > 2 && word[0] >= '0' && word[0] <= '9') {
      steps.push_back(roundToInt(numberOf(word)));
    }
  }
  return steps;
}

// Whether the list line `line` of the reply names `name`; a reply without
// the line says nothing against it.
bool listed(const Reply& reply, std::string_view line, std::string_view name) {
  auto list = valueOf(reply, line);
  if (!list) return true;
  std::vector<std::string> names = namesIn(*list);
  return std::find(names.begin(), names.end(), name) != names.end();
}

// "Y" or "N" of a line such as "Can set PTT:\tY"; a reply without the line
// says nothing against it.
bool yes(const Reply& reply, std::string_view name) {
  auto value = valueOf(reply, name);
  return !value || *value != "N";
}

constexpr std::array<Function, 6> functions = {Function::preamp,       Function::attenuator,
                                               Function::noiseBlanker, Function::noiseReduction,
                                               Function::notch,        Function::processor};

}  // namespace

Capabilities capabilitiesOf(const Reply& reply) {
  Capabilities caps;
  caps.preampDb = decibelsIn(valueOf(reply, "Preamp").value_or(""));
  caps.attenuatorDb = decibelsIn(valueOf(reply, "Attenuator").value_or(""));

  for (Function function : functions) {
    bool has = setInDecibels(function)
                   ? listed(reply, "Set level", hamlibName(function)) &&
                         !(function == Function::preamp ? caps.preampDb : caps.attenuatorDb).empty()
                   : listed(reply, "Set functions", hamlibName(function));
    if (!has) caps.lacking |= RadioFacts::bitOf(function);
  }
  for (Level level : {Level::afGain, Level::rfGain, Level::power}) {
    if (!listed(reply, "Set level", hamlibName(level))) caps.lacking |= RadioFacts::bitOf(level);
  }
  if (!yes(reply, "Can set Mode")) caps.lacking |= RadioFacts::bitOf(Level::width);
  if (!listed(reply, "VFO Ops", "TUNE")) caps.lacking |= RadioFacts::bitOf(Feature::tuner);
  if (!yes(reply, "Can set PTT")) caps.lacking |= RadioFacts::bitOf(Feature::transmit);
  caps.sMeter = listed(reply, "Get level", "STRENGTH");
  caps.swr = listed(reply, "Get level", "SWR");
  caps.powerSwitch = yes(reply, "Can set Power Stat");
  return caps;
}

}  // namespace rigctld
