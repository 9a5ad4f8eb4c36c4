#include "radio/yaesu/cat.h"

#include <algorithm>
#include <array>

#include "platform/text.h"

namespace yaesu {

namespace {

using Kind = Operation::Kind;

// The largest value of a count of digits (999 for 3).
constexpr long long largest(int digits) {
  long long value = 1;
  for (int i = 0; i < digits; ++i) value *= 10;
  return value - 1;
}

std::string numbered(const NumberForm& form, long long value) {
  return std::string(form.head) +
         zeroPadded(std::clamp(value, 0LL, largest(form.digits)), form.digits);
}

// A model without the command has no text for it.
std::string switched(const SwitchForm& form, bool on) {
  if (form.head.empty()) return {};
  return std::string(form.head) + (on ? form.on : form.off);
}

std::string zeroOrOne(std::string_view head, int value) {
  return std::string(head) + (value == 1 ? '1' : '0');
}

const NumberForm& levelForm(const Model& model, Level level) {
  switch (level) {
    case Level::afGain:
      return model.afGain;
    case Level::rfGain:
      return model.rfGain;
    case Level::power:
      return model.power;
    case Level::width:
      break;
  }
  return model.width;
}

const SwitchForm& switchForm(const Model& model, Function function) {
  switch (function) {
    case Function::preamp:
      return model.preamp;
    case Function::attenuator:
      return model.attenuator;
    case Function::noiseBlanker:
      return model.noiseBlanker;
    case Function::noiseReduction:
      return model.noiseReduction;
    case Function::notch:
      return model.notch;
    case Function::processor:
      break;
  }
  return model.processor;
}

constexpr std::array<Level, 4> levels = {Level::afGain, Level::rfGain, Level::power, Level::width};
constexpr std::array<Function, 6> functions = {Function::preamp,       Function::attenuator,
                                               Function::noiseBlanker, Function::noiseReduction,
                                               Function::notch,        Function::processor};
constexpr std::array<Question, 5> questions = {Question::frequency, Question::mode,
                                               Question::sMeter, Question::swr, Question::identity};

bool isDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The value of a switch's character: 1 on, 0 off, -1 neither.
int switchValue(char value, char off, char on) {
  if (value == on) return 1;
  return value == off ? 0 : -1;
}

// The reply is the head's two letters and exactly the digits the model
// gives, then its ";". A reply cut short by a read never comes here (the
// dialect finishes it first); one of another length or garbled
// ("FA-0001420;", or eight digits from a radio that gives nine) is no
// reading: taken as a number it would put the radio somewhere it never
// was.
bool isReplyOf(std::string_view reply, std::string_view head, int digits) {
  const std::size_t length = head.size() + static_cast<std::size_t>(digits) + terminator.size();
  return reply.size() == length && reply.starts_with(head) && reply.ends_with(terminator) &&
         isDigits(reply.substr(head.size(), static_cast<std::size_t>(digits)));
}

// A reply in the form of the radio's language: two capital letters, then
// capitals and digits, then ";". What the dialect cannot read of this form
// comes from a radio that speaks otherwise; anything else is noise.
bool isWellFormed(std::string_view reply) {
  if (reply.size() < 4 || !reply.ends_with(terminator)) return false;
  for (std::size_t i = 0; i + 1 < reply.size(); ++i) {
    const char c = reply[i];
    const bool capital = c >= 'A' && c <= 'Z';
    if (!capital && !(i >= 2 && c >= '0' && c <= '9')) return false;
  }
  return true;
}

int meterValue(std::span<const MeterStep> steps, int reading) {
  for (const MeterStep& step : steps) {
    if (reading > step.above) return step.value;
  }
  return steps.back().value;
}

int swrTenths(std::span<const SwrRange> ranges, int reading) {
  const SwrRange* range = &ranges.front();
  for (const SwrRange& next : ranges) {
    if (reading >= next.from) range = &next;
  }
  if (range->perTenth <= 0) return roundToInt(range->tenths);
  return roundToInt(range->tenths + (reading - range->from) / range->perTenth);
}

// A meter's reading, 0..255: the first three digits after its query (a
// reply of six has three more after them).
constexpr int meterReadingDigits = 3;

int meterReading(const MeterForm& form, std::string_view reply) {
  return roundToInt(
      numberOf(middleChars(reply, static_cast<int>(form.query.size()) + 1, meterReadingDigits)));
}

// The reply is copied fresh, not assigned in place: GCC 12 warns wrongly
// (-Wrestrict) about the in-place copy of a short text.
Reading reading(Reading::Kind kind, std::string_view reply) {
  Reading read;
  read.kind = kind;
  read.reply = std::string(reply.data(), reply.size());
  return read;
}

}  // namespace

std::string commandText(const Model& model, const Operation& operation) {
  switch (operation.kind) {
    case Kind::frequency:
      return numbered({frequencyHead, model.frequencyDigits}, operation.value);
    case Kind::mode: {
      char character = modeCharacter(model, {operation.value, 0});
      return character == 0 ? std::string() : std::string(modeHead) + character;
    }
    case Kind::level:
      return numbered(levelForm(model, operation.level), operation.value);
    case Kind::function:
      return switched(switchForm(model, operation.function), operation.value == 1);
    case Kind::transmit:
      return zeroOrOne(transmitHead, operation.value);
    case Kind::tune:
      return switched(model.tuner, operation.value == 1);
    case Kind::powerSwitch:
      return zeroOrOne(powerSwitchHead, operation.value);
    case Kind::wakeUp:
      return std::string(wakeUpText);
    case Kind::question:
      break;
  }
  return std::string(queryOf(model, operation.question));
}

std::optional<Operation> operationOf(const Model& model, std::string_view command) {
  for (Question question : questions) {
    if (command == queryOf(model, question)) {
      return Operation{Kind::question, 0, Level::afGain, Function::preamp, question};
    }
  }
  if (command == wakeUpText) return Operation{Kind::wakeUp};
  auto valueAfter = [&](std::string_view head,
                        std::size_t length) -> std::optional<std::string_view> {
    if (!command.starts_with(head) || command.size() != head.size() + length) return std::nullopt;
    return command.substr(head.size());
  };
  if (auto digits = valueAfter(frequencyHead, static_cast<std::size_t>(model.frequencyDigits));
      digits && isDigits(*digits)) {
    return Operation{Kind::frequency, roundToInt(numberOf(*digits))};
  }
  if (auto character = valueAfter(modeHead, 1)) {
    int mode = -1;
    for (const ModeCharacter& known : model.modes) {
      if (known.character == (*character)[0]) mode = known.mode.mode;
    }
    return Operation{Kind::mode, mode};
  }
  for (Level level : levels) {
    const NumberForm& form = levelForm(model, level);
    auto digits = valueAfter(form.head, static_cast<std::size_t>(form.digits));
    if (digits && isDigits(*digits)) {
      return Operation{Kind::level, roundToInt(numberOf(*digits)), level};
    }
  }
  for (Function function : functions) {
    const SwitchForm& form = switchForm(model, function);
    if (form.head.empty()) continue;  // the model has no such command
    if (auto value = valueAfter(form.head, 1)) {
      return Operation{Kind::function, switchValue((*value)[0], form.off, form.on), Level::afGain,
                       function};
    }
  }
  if (auto value = valueAfter(model.tuner.head, 1)) {
    return Operation{Kind::tune, switchValue((*value)[0], model.tuner.off, model.tuner.on)};
  }
  if (auto value = valueAfter(transmitHead, 1)) {
    return Operation{Kind::transmit, switchValue((*value)[0], '0', '1')};
  }
  if (auto value = valueAfter(powerSwitchHead, 1)) {
    return Operation{Kind::powerSwitch, switchValue((*value)[0], '0', '1')};
  }
  return std::nullopt;
}

bool takes(const Model& model, const Operation& operation) {
  const int value = operation.value;
  switch (operation.kind) {
    case Kind::frequency:
      return std::any_of(model.coverage.begin(), model.coverage.end(),
                         [value](const FrequencyRange& range) {
                           return value >= range.lowestHz && value <= range.highestHz;
                         });
    case Kind::mode:
      return value >= 0 &&
             std::any_of(model.modes.begin(), model.modes.end(),
                         [value](const ModeCharacter& known) { return known.mode.mode == value; });
    case Kind::level:
      switch (operation.level) {
        case Level::power:
          return value >= model.lowestWatts && value <= model.highestWatts;
        case Level::width:
          return std::any_of(model.facts.widths.begin(), model.facts.widths.end(),
                             [value](const WidthStep& width) { return width.step == value; });
        case Level::afGain:
        case Level::rfGain:
          break;
      }
      return value >= 0 && value <= model.highestGain;
    case Kind::function:
    case Kind::transmit:
    case Kind::tune:
    case Kind::powerSwitch:
      return value == 0 || value == 1;
    case Kind::wakeUp:  // a radio that is on refuses it; one that is off does not hear it
      return false;
    case Kind::question:
      break;
  }
  return true;
}

Reading readingOf(const Model& model, std::string_view reply) {
  if (reply == refusal) return reading(Reading::Kind::refused, reply);
  for (Question question : questions) {
    if (reply == yaesu::reply(queryOf(model, question), ""))
      return reading(Reading::Kind::echo, reply);
  }
  if (isReplyOf(reply, frequencyHead, model.frequencyDigits)) {
    Reading read = reading(Reading::Kind::frequency, reply);
    read.value = roundToInt(numberOf(middleChars(reply, 3, model.frequencyDigits)));
    return read;
  }
  const MeterForm& sMeter = model.sMeter;
  if (isReplyOf(reply, sMeter.query, sMeter.digits)) {
    Reading read = reading(Reading::Kind::sMeter, reply);
    read.value = meterValue(model.sMeterDb, meterReading(sMeter, reply));
    return read;
  }
  if (reply.size() == modeHead.size() + 2 && reply.starts_with(modeHead) &&
      reply.ends_with(terminator)) {
    Reading read = reading(Reading::Kind::mode, reply);
    for (const ModeCharacter& known : model.modes) {
      if (known.character == reply[modeHead.size()]) read.mode = known.mode;
    }
    return read;
  }
  const MeterForm& swr = model.swr;
  if (isReplyOf(reply, swr.query, swr.digits)) {
    Reading read = reading(Reading::Kind::swr, reply);
    read.value = swrTenths(model.swrTenths, meterReading(swr, reply));
    return read;
  }
  // An identity in any count of digits: the family gives four ("ID0670;"),
  // other makers' radios three.
  if (reply.size() >= 4 && reply.starts_with(identityQuery) && reply.ends_with(terminator) &&
      isDigits(reply.substr(2, reply.size() - 3))) {
    Reading read = reading(Reading::Kind::identity, reply);
    read.identity = reply.substr(2, reply.size() - 3);
    return read;
  }
  return reading(isWellFormed(reply) ? Reading::Kind::foreign : Reading::Kind::unknown, reply);
}

std::string reply(std::string_view query, std::string_view value) {
  return std::string(query) + std::string(value) + std::string(terminator);
}

std::string_view headOf(const Model& model, const Operation& operation) {
  switch (operation.kind) {
    case Kind::frequency:
      return frequencyHead;
    case Kind::mode:
      return modeHead;
    case Kind::level:
      return levelForm(model, operation.level).head;
    case Kind::function:
      return switchForm(model, operation.function).head;
    case Kind::transmit:
      return transmitHead;
    case Kind::tune:
      return model.tuner.head;
    case Kind::powerSwitch:
      return powerSwitchHead;
    case Kind::wakeUp:
      return wakeUpText;
    case Kind::question:
      break;
  }
  return queryOf(model, operation.question);
}

std::string_view queryOf(const Model& model, Question question) {
  switch (question) {
    case Question::frequency:
      return frequencyHead;
    case Question::mode:
      return modeHead;
    case Question::sMeter:
      return model.sMeter.query;
    case Question::swr:
      return model.swr.query;
    case Question::identity:
      break;
  }
  return identityQuery;
}

char modeCharacter(const Model& model, RadioMode mode) {
  for (const ModeCharacter& known : model.modes) {
    if (known.mode == mode) return known.character;
  }
  return 0;
}

}  // namespace yaesu
