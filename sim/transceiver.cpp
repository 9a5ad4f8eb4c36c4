#include "sim/transceiver.h"

#include <algorithm>
#include <cstdio>

#include "platform/text.h"
#include "radio/yaesu/cat.h"

namespace {

// A meter's reading is three digits; a reply of six has "000" after them.
constexpr int meterReadingDigits = 3;
// The family gives its identity in four digits: "ID0670;".
constexpr int identityDigits = 4;

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

Transceiver::Transceiver(std::uint64_t seed, bool startOff, const yaesu::Model& model)
    : model_(model), identity_(model.identity), poweredOn_(!startOff), random_(seed) {}

std::optional<std::string> Transceiver::handleCommand(const std::string& command) {
  if (!isWellFormed(command)) return std::nullopt;
  if (!poweredOn_) {
    if (command == yaesu::commandText(model_, {Operation::Kind::powerSwitch, 1})) poweredOn_ = true;
    return std::nullopt;
  }
  if (command == yaesu::powerSwitchHead) return yaesu::reply(yaesu::powerSwitchHead, "1");
  std::optional<Operation> operation = yaesu::operationOf(model_, command);
  if (!operation || !yaesu::takes(model_, *operation) ||
      missing_.count(std::string(yaesu::headOf(model_, *operation))) != 0) {
    return std::string(yaesu::refusal);
  }
  if (operation->kind == Operation::Kind::question) return answer(operation->question);
  apply(*operation, command);
  return std::nullopt;
}

std::string Transceiver::answer(Question question) const {
  std::string_view query = yaesu::queryOf(model_, question);
  switch (question) {
    case Question::frequency:
      return yaesu::reply(query, zeroPadded(frequencyHz_, model_.frequencyDigits));
    case Question::mode:
      return yaesu::reply(query, std::string(1, modeCharacter_));
    case Question::sMeter:
      return meterReply(model_.sMeter, sMeter_);
    case Question::swr:  // the SWR meter reads nothing while the radio receives
      return meterReply(model_.swr, transmitting_ ? swr_ : 0);
    case Question::identity:
      break;
  }
  return yaesu::reply(query, zeroPadded(identity_, identityDigits));
}

std::string Transceiver::meterReply(const yaesu::MeterForm& form, int reading) const {
  return yaesu::reply(form.query, zeroPadded(reading, meterReadingDigits) +
                                      std::string(form.digits - meterReadingDigits, '0'));
}

void Transceiver::apply(const Operation& operation, const std::string& command) {
  std::string_view head = yaesu::headOf(model_, operation);
  settings_[std::string(head)] = command.substr(head.size());
  switch (operation.kind) {
    case Operation::Kind::frequency:
      frequencyHz_ = operation.value;
      break;
    case Operation::Kind::mode:
      modeCharacter_ = command.back();
      break;
    case Operation::Kind::powerSwitch:
      if (operation.value == 0) switchOff();
      break;
    case Operation::Kind::transmit:
      transmitting_ = operation.value == 1;
      swr_ = 100;
      swrDirection_ = 1;
      break;
    default:
      break;
  }
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

bool Transceiver::setMode(char character) {
  std::optional<Operation> mode =
      yaesu::operationOf(model_, std::string(yaesu::modeHead) + character);
  if (!mode || !yaesu::takes(model_, *mode)) return false;
  modeCharacter_ = character;
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
