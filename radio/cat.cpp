#include "radio/cat.h"

#include <algorithm>

#include "platform/text.h"
#include "state/band_table.h"

namespace cat {

namespace {

std::string headAnd(std::string_view head, std::string_view value) {
  return std::string(head) + std::string(value);
}

}  // namespace

std::string frequency(int hz) {
  return headAnd(frequencyHead, zeroPadded(withinFrequencyRange(hz), frequencyDigits));
}

std::string mode(char radioMode) { return headAnd(modeHead, std::string(1, radioMode)); }

std::string power(int watts) {
  return headAnd(powerHead, zeroPadded(std::clamp(watts, 0, 999), levelDigits));
}

std::string afGain(int level) { return headAnd(afGainHead, zeroPadded(level, levelDigits)); }
std::string rfGain(int level) { return headAnd(rfGainHead, zeroPadded(level, levelDigits)); }
std::string filterWidth(int step) { return headAnd(widthHead, zeroPadded(step, widthDigits)); }

std::string switched(const Switch& function, bool on) {
  return headAnd(function.head, std::string(1, on ? function.on : function.off));
}

std::string transmit(bool on) { return headAnd(transmitHead, on ? "1" : "0"); }
std::string powerSwitch(bool on) { return headAnd(powerSwitchHead, on ? "1" : "0"); }
std::string tuner(bool tune) { return headAnd(tunerHead, tune ? "2" : "1"); }

bool isFrequency(std::string_view text) {
  return static_cast<int>(text.size()) ==
             static_cast<int>(frequencyHead.size()) + frequencyDigits &&
         text.substr(0, 2) == frequencyHead &&
         text.find_first_not_of("0123456789", 2) == std::string_view::npos;
}

bool isModeReply(std::string_view reply) {
  return static_cast<int>(reply.size()) == modeReplyLength && reply.substr(0, 3) == modeQuery &&
         reply.substr(4) == terminator;
}

bool changesFrequencyOrMode(std::string_view command) {
  return (sameLetters(command, frequencyHead) || sameLetters(command, modeHead)) &&
         command != frequencyQuery && command != modeQuery;
}

}  // namespace cat
