#include "sim/transceiver.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "radio/cat.h"

namespace {

// How the parameter of a known set command looks. A known mnemonic with any
// other parameter is malformed and ignored, as the radio would refuse it.
struct SetCommand {
  std::string_view mnemonic;
  int digits;           // length of the parameter
  const char* allowed;  // the characters the parameter may hold
};

constexpr const char* kDigits = "0123456789";
constexpr const char* kModes = "123456789ABCDE";

constexpr std::array<SetCommand, 15> kSetCommands{{
    {cat::frequencyHead, cat::frequencyDigits, kDigits},
    {cat::modeHead, 1, kModes},
    {cat::powerSwitchHead, 1, "01"},
    {cat::transmitHead, 1, "01"},
    {cat::powerHead, cat::levelDigits, kDigits},
    {cat::afGainHead, cat::levelDigits, kDigits},
    {cat::rfGainHead, cat::levelDigits, kDigits},
    {cat::widthHead, cat::widthDigits, kDigits},
    {cat::preamp.head, 1, "012"},
    {cat::attenuator.head, 1, "01"},
    {cat::noiseBlanker.head, 1, "01"},
    {cat::noiseReduction.head, 1, "01"},
    {cat::notch.head, 1, "01"},
    {cat::processor.head, 1, "01"},
    {cat::tunerHead, 1, "012"},
}};

std::string threeDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%03d", std::clamp(value, 0, 999));
  return text;
}

bool startsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// A reply: what was asked, then its value and ";".
std::string reply(std::string_view query, const std::string& value) {
  return std::string(query) + value + std::string(cat::terminator);
}

}  // namespace

bool isWellFormed(const std::string& command) {
  if (command.size() < 2) return false;
  for (std::size_t i = 0; i < command.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(command[i]);
    const bool upper = c >= 'A' && c <= 'Z';
    const bool digit = c >= '0' && c <= '9';
    if (!(upper || (digit && i >= 2))) return false;
  }
  return true;
}

Transceiver::Transceiver(std::uint64_t seed, bool startOff)
    : poweredOn_(!startOff), random_(seed) {}

std::optional<std::string> Transceiver::handleCommand(const std::string& command) {
  if (!isWellFormed(command)) return std::nullopt;
  if (!poweredOn_) {
    if (command == cat::powerSwitch(true)) poweredOn_ = true;
    return std::nullopt;
  }
  if (auto reply = answerQuery(command)) return reply;
  applySetCommand(command);
  return std::nullopt;
}

std::optional<std::string> Transceiver::answerQuery(const std::string& command) const {
  if (command == cat::frequencyQuery) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%09ld", frequencyHz_);
    return reply(cat::frequencyQuery, digits);
  }
  if (command == cat::sMeterQuery) return reply(cat::sMeterQuery, threeDigits(sMeter_));
  // The SWR meter reads nothing while the radio receives.
  if (command == cat::swrQuery) return reply(cat::swrQuery, threeDigits(transmitting_ ? swr_ : 0));
  if (command == cat::modeQuery) return reply(cat::modeQuery, std::string(1, modeDigit_));
  if (command == cat::powerSwitchQuery) return reply(cat::powerSwitchQuery, "1");
  if (command == cat::identityQuery) return reply(cat::identityQuery, "0670");  // an FT-991A
  return std::nullopt;
}

bool Transceiver::applySetCommand(const std::string& command) {
  for (const SetCommand& known : kSetCommands) {
    if (!startsWith(command, known.mnemonic)) continue;
    const std::string parameter = command.substr(known.mnemonic.size());
    if (static_cast<int>(parameter.size()) != known.digits) return false;
    if (parameter.find_first_not_of(known.allowed) != std::string::npos) return false;
    const std::string_view mnemonic = known.mnemonic;
    settings_[std::string(mnemonic)] = parameter;
    if (mnemonic == cat::frequencyHead) frequencyHz_ = std::stol(parameter);
    if (mnemonic == cat::modeHead) modeDigit_ = parameter[0];
    if (mnemonic == cat::powerSwitchHead && parameter == "0") switchOff();
    if (mnemonic == cat::transmitHead) {
      transmitting_ = parameter == "1";
      swr_ = 100;
      swrDirection_ = 1;
    }
    return true;
  }
  return true;  // any other well-formed command is taken silently
}

void Transceiver::wanderSMeter() {
  std::uniform_int_distribution<int> step(-6, 6);
  sMeter_ = std::clamp(sMeter_ + step(random_), 0, 255);
}

void Transceiver::driftSwr() {
  if (!transmitting_) return;
  swr_ += swrDirection_;
  if (swr_ >= 140 || swr_ <= 100) swrDirection_ = -swrDirection_;
}

bool Transceiver::setMode(char digit) {
  if (std::char_traits<char>::find(kModes, 14, digit) == nullptr) return false;
  modeDigit_ = digit;
  return true;
}

void Transceiver::setSMeter(int reading) { sMeter_ = std::clamp(reading, 0, 255); }

void Transceiver::switchOff() {
  poweredOn_ = false;
  transmitting_ = false;
}

std::string Transceiver::setting(const std::string& mnemonic) const {
  auto found = settings_.find(mnemonic);
  return found == settings_.end() ? std::string() : found->second;
}

std::string Transceiver::garble(const std::string& reply) {
  if (reply.empty()) return reply;
  std::string noisy = reply;
  std::uniform_int_distribution<std::size_t> where(0, noisy.size() - 1);
  std::uniform_int_distribution<int> bit(0, 6);
  noisy[where(random_)] ^= static_cast<char>(1 << bit(random_));
  return noisy;
}

bool Transceiver::chance(double rate) {
  return std::uniform_real_distribution<double>(0.0, 1.0)(random_) < rate;
}
