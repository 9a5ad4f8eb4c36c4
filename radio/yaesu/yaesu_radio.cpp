#include "radio/yaesu/yaesu_radio.h"

#include <algorithm>
#include <array>

#include "platform/text.h"
#include "radio/yaesu/cat.h"
#include "radio/yaesu/models.h"

namespace yaesu {

namespace {

using Kind = Operation::Kind;

// Each read takes all that has arrived, up to a terminal's whole input
// buffer: 4096 bytes a tenth of a second is more than ten times what a
// 38400-baud line brings, so noise at the line's full rate is drained and
// never holds the radio's replies back.
constexpr int longestRead = 4096;
constexpr std::size_t mostUnanswered = 64;
constexpr int readsToGiveUp = 10;  // the poll reads every 100 ms: a second

// The answer to a question just asked is waited for a byte at a time, each
// for at most this long (a radio late to answer, a slow network link), so
// the wait ends as soon as the answer's ";" has come; at most this many
// bytes are read for it (noise that never ends).
constexpr int answerByteWaitMs = 300;
constexpr int answerBytes = 256;

std::optional<Question> questionOf(Reading::Kind kind) {
  switch (kind) {
    case Reading::Kind::frequency:
      return Question::frequency;
    case Reading::Kind::mode:
      return Question::mode;
    case Reading::Kind::sMeter:
      return Question::sMeter;
    case Reading::Kind::swr:
      return Question::swr;
    case Reading::Kind::identity:
      return Question::identity;
    default:
      return std::nullopt;
  }
}

bool isQuestion(const Operation& operation) { return operation.kind == Kind::question; }

constexpr std::array<Function, 6> functions = {Function::preamp,       Function::attenuator,
                                               Function::noiseBlanker, Function::noiseReduction,
                                               Function::notch,        Function::processor};

}  // namespace

YaesuRadio::YaesuRadio(Platform& platform, const int& port, LogLine log, const Model& model)
    : platform_(platform), port_(port), log_(std::move(log)), model_(&model) {
  adopt(model);
}

// The keys follow the model's facts; a function it has no command for is
// one it lacks.
void YaesuRadio::adopt(const Model& model) {
  model_ = &model;
  facts_ = model.facts;
  for (Function function : functions) {
    if (commandText(model, {Kind::function, 1, Level::afGain, function}).empty()) {
      facts_.lacking |= RadioFacts::bitOf(function);
    }
  }
}

// The log shows what was sent to the port, whether it got there or not.
bool YaesuRadio::carry(const Operation& operation) {
  std::string text = commandText(*model_, operation);
  if (text.empty()) return false;  // the model has no command for it
  text += terminator;
  int written = platform_.writeSerial(port_, text.data(), static_cast<int>(text.size()));
  log_("TX=" + text);
  if (written != static_cast<int>(text.size())) return false;
  remember(operation, text);
  return true;
}

void YaesuRadio::remember(const Operation& operation, const std::string& text) {
  Sent sent{operation, text, takes(*model_, operation), std::nullopt, reads_};
  int setting = settingOf(operation);
  if (setting >= 0) {
    auto last = lastSent_.find(setting);
    if (last != lastSent_.end()) sent.before = last->second;
    lastSent_[setting] = operation.value;
  }
  if (unanswered_.size() == mostUnanswered) unanswered_.pop_front();
  unanswered_.push_back(std::move(sent));
}

void YaesuRadio::giveUpSentBefore(int read) {
  while (!unanswered_.empty() && unanswered_.front().read < read) unanswered_.pop_front();
}

std::vector<Reading> YaesuRadio::read() {
  giveUpSentBefore(++reads_ - readsToGiveUp);
  if (platform_.serialBytesWaiting(port_) < 1) return {};  // nothing has come
  char bytes[longestRead];
  int count = std::clamp(platform_.readSerial(port_, bytes, longestRead), 0, longestRead);
  if (count == 0) return {};  // the port closed as it was read: nothing came
  std::string_view received(bytes, static_cast<std::size_t>(count));
  log_("RX=" + std::string(received));
  return answersIn(received);
}

// Each whole reply is one "RX=" line, as it would be when the poll read it.
void YaesuRadio::awaitAnswer(const std::function<bool(const Reading&)>& take) {
  platform_.setSerialReadMode(port_, answerByteWaitMs);
  std::string bytes;  // read since the last whole reply
  bool answered = false;
  for (int read = 0; read < answerBytes && !answered; ++read) {
    char byte = 0;
    if (platform_.readSerial(port_, &byte, 1) != 1) break;  // silent, or gone
    bytes += byte;
    std::vector<Reading> readings = answersIn(std::string_view(&byte, 1));
    if (readings.empty()) continue;
    log_("RX=" + bytes);
    bytes.clear();
    for (const Reading& reading : readings) {
      if (take(reading)) {
        answered = true;
        break;
      }
    }
  }
  if (!bytes.empty()) log_("RX=" + bytes);
  platform_.setSerialReadMode(port_, -1);
}

// A reply that straddles two reads (a slow line, a late radio) is joined up
// again; otherwise a radio whose replies always arrive across the read would
// never be heard. Every whole reply of the bytes is read, in order. Only as
// much as a reply can hold before its ";" is kept to be finished; more is
// noise.
std::vector<Reading> YaesuRadio::answersIn(std::string_view received) {
  std::string joined = fragment_ + std::string(received);
  std::vector<Reading> readings;
  std::size_t start = 0;
  for (std::size_t end = joined.find(';'); end != std::string::npos;
       end = joined.find(';', start)) {
    readings.push_back(answerOf(std::string_view(joined).substr(start, end - start + 1)));
    start = end + 1;
  }
  fragment_ = joined.substr(start);
  if (fragment_.size() >= longestUnfinished) {
    Reading noise;
    noise.reply = fragment_;
    readings.push_back(noise);
    fragment_.clear();
  }
  return readings;
}

Reading YaesuRadio::answerOf(std::string_view reply) {
  Reading reading = readingOf(*model_, reply);
  if (reading.kind == Reading::Kind::refused) return refusalOf(std::move(reading));
  if (auto question = questionOf(reading.kind)) answered(*question);
  if (reading.kind == Reading::Kind::identity) {
    if (const Model* named = modelWithIdentity(roundToInt(numberOf(reading.identity)))) {
      adopt(*named);
      reading.model = std::string(named->name);
    }
  }
  return reading;
}

// The reply answers the first question of its kind still waiting: the
// commands before it were taken, and questions before it went unanswered.
void YaesuRadio::answered(Question question) {
  auto asked = std::find_if(unanswered_.begin(), unanswered_.end(), [question](const Sent& sent) {
    return isQuestion(sent.operation) && sent.operation.question == question;
  });
  if (asked != unanswered_.end()) settleUpTo(asked + 1);
}

// The commands before `end` have had their answers: the set commands among
// them were taken.
void YaesuRadio::settleUpTo(std::deque<Sent>::iterator end) {
  for (auto sent = unanswered_.begin(); sent != end; ++sent) {
    int setting = settingOf(sent->operation);
    if (setting >= 0) taken_[setting] = sent->operation.value;
  }
  unanswered_.erase(unanswered_.begin(), end);
}

// A set command that repeats the value the radio last took for its setting
// (Z on a frequency already whole) is taken again.
bool YaesuRadio::takenBefore(const Sent& sent) const {
  auto taken = taken_.find(settingOf(sent.operation));
  return taken != taken_.end() && taken->second == sent.operation.value;
}

Reading YaesuRadio::refusalOf(Reading reading) {
  auto question = std::find_if(unanswered_.begin(), unanswered_.end(),
                               [](const Sent& sent) { return isQuestion(sent.operation); });
  std::vector<std::deque<Sent>::iterator> setCommands;
  for (auto sent = unanswered_.begin(); sent != question; ++sent) {
    if (!takenBefore(*sent)) setCommands.push_back(sent);
  }
  auto refused = unanswered_.end();
  for (auto sent : setCommands) {
    if (!sent->taken) {
      refused = sent;
      break;
    }
  }
  if (refused == unanswered_.end() && setCommands.size() == 1) refused = setCommands.front();
  if (refused == unanswered_.end() && setCommands.empty()) refused = question;
  if (refused == unanswered_.end()) return refusalAmong(std::move(reading), setCommands, question);
  reading.refused = refused->operation;
  reading.before = refused->before;
  log_("REFUSED=" + refused->text);
  giveBack(refused);
  settleUpTo(refused);
  unanswered_.pop_front();
  return reading;
}

// Several set commands, none likelier than the others, or none at all.
// Which of them the radio took is not known.
Reading YaesuRadio::refusalAmong(Reading reading,
                                 const std::vector<std::deque<Sent>::iterator>& setCommands,
                                 std::deque<Sent>::iterator question) {
  reading.candidates = static_cast<int>(setCommands.size());
  std::string texts;
  std::vector<int> unknown;
  for (auto sent : setCommands) {
    texts += " " + sent->text;
    unknown.push_back(settingOf(sent->operation));
  }
  log_(setCommands.empty() ? "REFUSED=no command waiting" : "REFUSED=one of" + texts);
  settleUpTo(question);
  for (int setting : unknown) taken_.erase(setting);
  return reading;
}

// The refused command's setting keeps the value it had before; so does a
// later command's memory of it.
void YaesuRadio::giveBack(std::deque<Sent>::iterator refused) {
  int setting = settingOf(refused->operation);
  if (setting < 0) return;
  auto last = lastSent_.find(setting);
  if (last != lastSent_.end() && last->second == refused->operation.value) {
    if (refused->before) {
      last->second = *refused->before;
    } else {
      lastSent_.erase(last);
    }
  }
  for (auto later = refused + 1; later != unanswered_.end(); ++later) {
    if (settingOf(later->operation) == setting && later->before == refused->operation.value) {
      later->before = refused->before;
    }
  }
}

}  // namespace yaesu
