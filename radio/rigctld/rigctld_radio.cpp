#include "radio/rigctld/rigctld_radio.h"

#include <algorithm>
#include <array>

#include "platform/text.h"

namespace rigctld {

namespace {

using Kind = Operation::Kind;

// The P key's steps, in watts, up to the radio's own maximum.
constexpr std::array<int, 11> powerSteps = {5, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

// The W key's width steps: the program's step numbers, each sent as its
// passband in hertz (said 1.8, 1.9, 2.1 .. 3.1 kHz, as on the Yaesu radio).
constexpr std::array<WidthStep, 13> widths = {{
    {9, 1800},
    {10, 1900},
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
    {21, 3100},
}};

// Each read takes what has arrived, in parts of this much, up to this many:
// the capabilities, the longest reply (some 10 KiB), come whole.
constexpr int longestRead = 4096;
constexpr int mostReadParts = 16;
// A line or a reply longer than this is no reply of rigctld's: noise.
constexpr std::size_t longestLine = 4096;
constexpr std::size_t mostLines = 2000;
constexpr std::size_t mostUnanswered = 64;
constexpr int lateReads = 10;  // the poll reads every 100 ms: a second
// The traffic log shows a reply's start: the capabilities run to pages.
constexpr std::size_t loggedReply = 200;

// The answer to a question just asked is waited for at most this long a
// read, for at most this many reads.
constexpr int answerWaitMs = 300;
constexpr int answerReads = 4;

Operation ownQuestion() {
  return Operation{Kind::question, 0, Level::afGain, Function::preamp, Question::identity};
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += "|";
    text += line;
  }
  return text;
}

std::string logged(const std::string& text) {
  if (text.size() <= loggedReply) return text;
  std::size_t last = text.rfind('|');
  return text.substr(0, loggedReply) + "..." + text.substr(last);
}

Reading absentReading(const Operation& operation, const Reply& reply, bool switchedOff) {
  Reading reading;
  reading.kind = Reading::Kind::absent;
  reading.refused = operation;
  reading.switchedOff = switchedOff;
  reading.reply = reply.text;
  return reading;
}

}  // namespace

RigctldRadio::RigctldRadio(Platform& platform, const int& port, LogLine log)
    : platform_(platform), port_(port), log_(std::move(log)) {
  powerLadder_.assign(powerSteps.begin(), powerSteps.end());
  facts_.powerLadder = powerLadder_;
  facts_.widths = widths;
}

// Nothing is sent for what the radio lacks. Until its capabilities have
// come, the set commands wait for them (the opening sequence's come before
// rigctld has answered anything), so that none the radio lacks is sent and
// refused. A power waits for the frequency and mode it is converted for.
bool RigctldRadio::carry(const Operation& operation) {
  askOwnQuestions();
  if (capabilitiesKnown_ && lacks(operation)) return false;
  bool question = operation.kind == Kind::question;
  // A question goes after the commands waiting before it, as the poll's
  // rule on late answers counts the commands sent before each question.
  if (question && held_.empty()) return sendOperation(operation, std::nullopt);
  std::optional<int> before = question ? std::nullopt : remember(operation);
  if (!capabilitiesKnown_) {
    if (held_.size() == mostUnanswered) held_.pop_front();
    held_.push_back({operation, before});
    return true;
  }
  return dispatch(operation, before);
}

bool RigctldRadio::lacks(const Operation& operation) const {
  switch (operation.kind) {
    case Kind::function:
      return facts_.lacks(operation.function);
    case Kind::level:
      return facts_.lacks(operation.level);
    case Kind::tune:
      return operation.value == 1 && facts_.lacks(Feature::tuner);
    case Kind::transmit:
      return facts_.lacks(Feature::transmit);
    case Kind::powerSwitch:
      return !capabilities_.powerSwitch;
    case Kind::question:
      return (operation.question == Question::sMeter && !capabilities_.sMeter) ||
             (operation.question == Question::swr && !capabilities_.swr);
    default:
      return false;
  }
}

// The carrier's "T 1" goes only once the low power set before it has gone:
// a power still being converted, or waiting for the frequency and mode to
// be converted for, would leave the transmitter keyed at the power before.
// Transmitting off goes at once, and nothing held is then sent.
bool RigctldRadio::dispatch(const Operation& operation, std::optional<int> before) {
  if (operation.kind == Kind::transmit) {
    heldTransmit_.reset();
    if (operation.value == 1 && powerUnset()) {
      heldTransmit_ = Held{operation, before};
      return true;
    }
  }
  bool power = operation.kind == Kind::level && operation.level == Level::power;
  if (power && (setting_.frequencyHz <= 0 || setting_.modeName.empty())) {
    heldPower_ = Held{operation, before};
    return true;
  }
  return sendOperation(operation, before);
}

bool RigctldRadio::powerUnset() const {
  return heldPower_ || std::any_of(unanswered_.begin(), unanswered_.end(),
                                   [](const Sent& sent) { return isPowerScale(sent.command); });
}

void RigctldRadio::sendHeldTransmit() {
  if (!heldTransmit_ || powerUnset()) return;
  Held transmit = *heldTransmit_;
  heldTransmit_.reset();
  sendOperation(transmit.operation, transmit.before);
}

// The commands that waited for the capabilities go, and the questions
// asked after them, but those the radio lacks: their settings keep the
// values sent before them.
void RigctldRadio::sendHeld() {
  std::deque<Held> held;
  held.swap(held_);
  for (const Held& waited : held) {
    if (waited.operation.kind == Kind::question) {
      if (!lacks(waited.operation)) sendOperation(waited.operation, std::nullopt);
      continue;
    }
    if (!lacks(waited.operation)) {
      dispatch(waited.operation, waited.before);
      continue;
    }
    int setting = settingOf(waited.operation);
    if (waited.before) {
      lastSent_[setting] = *waited.before;
    } else {
      lastSent_.erase(setting);
    }
  }
}

bool RigctldRadio::sendOperation(const Operation& operation, std::optional<int> before) {
  Setting setting = setting_;
  if (operation.kind == Kind::level && operation.level == Level::width) {
    auto step = std::find_if(widths.begin(), widths.end(),
                             [&](const WidthStep& width) { return width.step == operation.value; });
    if (step == widths.end()) return false;
    setting.widthHz = step->hz;
  }
  std::vector<Command> commands = commandsOf(operation, setting);
  // Nothing to send: the wake-up (rigctld wakes the radio itself), the end
  // of a tuning (the radio's tuning ends by itself).
  if (commands.empty()) return operation.kind == Kind::wakeUp || operation.kind == Kind::tune;
  if (operation.kind == Kind::question && waiting(commands.back(), operation)) return true;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (!send(commands[i], operation, i + 1 == commands.size(), false, before)) return false;
  }
  if (operation.kind == Kind::frequency) knowFrequency(operation.value);
  if (operation.kind == Kind::mode) knowMode(modeName(operation.value));
  return true;
}

// The log shows what was sent, whether it got there or not.
bool RigctldRadio::send(const Command& command, const Operation& operation, bool carries, bool own,
                        std::optional<int> before) {
  std::string line = "+" + command.line + "\n";
  int written = platform_.writeSerial(port_, line.data(), static_cast<int>(line.size()));
  log_("TX=+" + command.line);
  if (written != static_cast<int>(line.size())) return false;
  if (operation.kind != Kind::question) {
    for (Sent& sent : unanswered_) sent.overtaken = true;
  }
  if (unanswered_.size() == mostUnanswered) unanswered_.pop_front();
  unanswered_.push_back({operation, command, carries && !own, own, before, reads_});
  return true;
}

// The same question still waiting, asked before the last read and with no
// set command after it, is answered with what it will answer: rigctld is
// slow to answer. One the dialect asked for itself is the program's from
// now on.
bool RigctldRadio::waiting(const Command& question, const Operation& operation) {
  for (Sent& sent : unanswered_) {
    if (sent.command.name != question.name || sent.overtaken) continue;
    if (sent.own) {
      sent.own = false;
      sent.carries = true;
      sent.operation = operation;
      return true;
    }
    if (sent.read < reads_) return true;
  }
  return false;
}

// At each new connection the capabilities; once the frequency and mode are
// known, the maximum power.
void RigctldRadio::askOwnQuestions() {
  if (!capabilitiesAsked_) {
    capabilitiesAsked_ = send(capabilitiesQuestion(), ownQuestion(), false, true, std::nullopt);
  }
  if (!maximumAsked_ && capabilitiesKnown_ && setting_.frequencyHz > 0 &&
      !setting_.modeName.empty()) {
    maximumAsked_ = send(maximumPowerQuestion(setting_), ownQuestion(), false, true, std::nullopt);
  }
}

std::optional<int> RigctldRadio::remember(const Operation& operation) {
  int setting = settingOf(operation);
  if (setting < 0) return std::nullopt;
  std::optional<int> before;
  auto last = lastSent_.find(setting);
  if (last != lastSent_.end()) before = last->second;
  lastSent_[setting] = operation.value;
  return before;
}

std::vector<Reading> RigctldRadio::read() {
  ++reads_;
  std::vector<Reading> readings;
  for (int part = 0; part < mostReadParts && platform_.serialBytesWaiting(port_) > 0; ++part) {
    char bytes[longestRead];
    int count = std::clamp(platform_.readSerial(port_, bytes, longestRead), 0, longestRead);
    if (count == 0) break;  // the connection closed as it was read
    for (Reading& reading : readingsIn(std::string_view(bytes, static_cast<std::size_t>(count)))) {
      readings.push_back(std::move(reading));
    }
  }
  return readings;
}

// Each wait ends as soon as a byte comes; what has come with it is read too.
void RigctldRadio::awaitAnswer(const std::function<bool(const Reading&)>& take) {
  bool answered = false;
  for (int attempt = 0; attempt < answerReads && !answered; ++attempt) {
    ++reads_;
    char bytes[longestRead];
    platform_.setSerialReadMode(port_, answerWaitMs);
    int count = std::clamp(platform_.readSerial(port_, bytes, 1), 0, 1);
    platform_.setSerialReadMode(port_, -1);
    if (count == 0) break;  // silent, or gone
    if (platform_.serialBytesWaiting(port_) > 0) {
      count +=
          std::clamp(platform_.readSerial(port_, bytes + 1, longestRead - 1), 0, longestRead - 1);
    }
    for (const Reading& reading :
         readingsIn(std::string_view(bytes, static_cast<std::size_t>(count)))) {
      if (take(reading)) {
        answered = true;
        break;
      }
    }
  }
}

std::string RigctldRadio::unfinished() const {
  std::string text = joined(block_);
  if (!line_.empty()) text += (text.empty() ? "" : "|") + line_;
  return text;
}

void RigctldRadio::linkOpened() {
  unanswered_.clear();
  heldTransmit_.reset();  // a carrier asked for before the link failed is not keyed now
  line_.clear();
  block_.clear();
  capabilitiesAsked_ = false;
  capabilitiesKnown_ = false;
  maximumAsked_ = false;
  learnedLacking_ = 0;
  facts_.lacking = capabilities_.lacking;
  held_.clear();
}

// Lines are joined up across reads; a reply is whole at its "RPRT" line.
std::vector<Reading> RigctldRadio::readingsIn(std::string_view received) {
  std::vector<Reading> readings;
  for (char c : received) {
    if (c != '\n') {
      line_ += c;
      if (line_.size() <= longestLine) continue;
      block_.push_back(line_);  // no reply has such a line: noise
    } else {
      if (line_.ends_with('\r')) line_.pop_back();
      block_.push_back(line_);
      if (!resultOf(line_) && block_.size() < mostLines) {
        line_.clear();
        continue;
      }
    }
    line_.clear();
    if (auto reading = answerOf(block_)) readings.push_back(std::move(*reading));
    block_.clear();
  }
  return readings;
}

// A whole reply, or noise: matched to the oldest command waiting under its
// name; the commands before that one will not be answered any more.
std::optional<Reading> RigctldRadio::answerOf(const std::vector<std::string>& lines) {
  Reply reply;
  reply.text = joined(lines);
  log_("RX=" + logged(reply.text));
  std::optional<int> result = resultOf(lines.back());
  std::optional<std::string> name = lines.size() > 1 ? replyName(lines.front()) : std::nullopt;
  auto sent = unanswered_.end();
  if (result && name) {
    sent = std::find_if(unanswered_.begin(), unanswered_.end(),
                        [&](const Sent& waiting) { return waiting.command.name == *name; });
  }
  if (sent == unanswered_.end()) {
    Reading noise;
    noise.reply = reply.text;
    return noise;
  }
  reply.name = *name;
  reply.result = *result;
  reply.values.assign(lines.begin() + 1, lines.end() - 1);
  Sent answered = *sent;
  unanswered_.erase(unanswered_.begin(), sent + 1);
  return answered.own ? takeOwn(answered, reply) : take(answered, reply);
}

std::optional<Reading> RigctldRadio::take(const Sent& sent, const Reply& reply) {
  if (reply.result == error::powerOff) return absentReading(sent.operation, reply, true);
  if (reply.result == error::timedOut || reply.result == error::inputOutput) {
    return absentReading(sent.operation, reply, false);
  }
  if (reply.result < 0 && isPowerScale(reply)) {
    send(powerCommand(powerScale(sent.operation.value, maximumWatts())), sent.operation, true,
         false, sent.before);
    sendHeldTransmit();
    return std::nullopt;
  }
  if (reply.result < 0) {
    if (!sent.carries) {
      log_("REFUSED=+" + sent.command.line);
      return std::nullopt;
    }
    return refusalOf(sent, reply);
  }
  bool asks = sent.operation.kind == Kind::question || isPowerScale(reply);
  if (!asks) return std::nullopt;  // a set command done
  // Done without its value: rigctld's answer while the radio is switched off.
  if (reply.values.empty()) return absentReading(sent.operation, reply, true);
  if (isPowerScale(reply)) {
    if (auto scale = powerScaleOf(reply)) {
      send(powerCommand(*scale), sent.operation, true, false, sent.before);
    }
    sendHeldTransmit();
    return std::nullopt;
  }
  if (reply.name == capabilitiesQuestion().name) knowCapabilities(capabilitiesOf(reply));
  Reading reading = readingOf(sent.operation.question, reply);
  if (reading.kind == Reading::Kind::frequency) knowFrequency(reading.value);
  if (reading.kind == Reading::Kind::mode) knowMode(valueOf(reply, "Mode").value_or(""));
  if (reads_ - sent.read > lateReads) reading.kind = Reading::Kind::unknown;  // given up
  return reading;
}

// The dialect's own questions: no reading comes of them.
std::optional<Reading> RigctldRadio::takeOwn(const Sent& sent, const Reply& reply) {
  bool capabilities = reply.name == capabilitiesQuestion().name;
  if (reply.result != 0) {
    log_("REFUSED=+" + sent.command.line);
    // A rigctld that does not list them: the radio is taken to have all.
    if (capabilities) knowCapabilities(capabilities_);
  } else if (capabilities) {
    knowCapabilities(capabilitiesOf(reply));
  } else if (auto watts = maximumWattsOf(reply)) {
    knowMaximumWatts(*watts);
  }
  return std::nullopt;
}

Reading RigctldRadio::refusalOf(const Sent& sent, const Reply& reply) {
  Reading reading;
  reading.kind = Reading::Kind::refused;
  reading.refused = sent.operation;
  reading.before = sent.before;
  reading.reply = reply.text;
  reading.lacking = reply.result == error::notAvailable || reply.result == error::notImplemented;
  if (reading.lacking) learnLacking(sent.operation);
  log_("REFUSED=+" + sent.command.line);
  giveBack(sent);
  return reading;
}

void RigctldRadio::learnLacking(const Operation& operation) {
  unsigned bit = 0;
  switch (operation.kind) {
    case Kind::function:
      bit = RadioFacts::bitOf(operation.function);
      break;
    case Kind::level:
      bit = RadioFacts::bitOf(operation.level);
      break;
    case Kind::tune:
      bit = RadioFacts::bitOf(Feature::tuner);
      break;
    case Kind::transmit:
      bit = RadioFacts::bitOf(Feature::transmit);
      break;
    case Kind::powerSwitch:
      capabilities_.powerSwitch = false;
      break;
    case Kind::question:
      if (operation.question == Question::sMeter) capabilities_.sMeter = false;
      if (operation.question == Question::swr) capabilities_.swr = false;
      break;
    default:
      break;
  }
  learnedLacking_ |= bit;
  facts_.lacking |= bit;
}

// The refused command's setting keeps the value it had before; so does a
// later command's memory of it.
void RigctldRadio::giveBack(const Sent& refused) {
  int setting = settingOf(refused.operation);
  if (setting < 0) return;
  auto last = lastSent_.find(setting);
  if (last != lastSent_.end() && last->second == refused.operation.value) {
    if (refused.before) {
      last->second = *refused.before;
    } else {
      lastSent_.erase(last);
    }
  }
  for (Sent& later : unanswered_) {
    if (settingOf(later.operation) == setting && later.before == refused.operation.value) {
      later.before = refused.before;
    }
  }
}

void RigctldRadio::knowCapabilities(const Capabilities& capabilities) {
  capabilities_ = capabilities;
  capabilitiesKnown_ = true;
  facts_.lacking = capabilities.lacking | learnedLacking_;
  setting_.preampDb = capabilities.preampDb.empty() ? 0 : capabilities.preampDb.front();
  setting_.attenuatorDb = capabilities.attenuatorDb.empty() ? 0 : capabilities.attenuatorDb.front();
  sendHeld();
  askOwnQuestions();
}

// The ladder's steps below the radio's maximum, and the maximum itself.
void RigctldRadio::knowMaximumWatts(int watts) {
  if (watts < 1) return;
  maximumWatts_ = watts;
  powerLadder_.clear();
  for (int step : powerSteps) {
    if (step < watts) powerLadder_.push_back(step);
  }
  powerLadder_.push_back(watts);
  facts_.powerLadder = powerLadder_;
}

// The maximum is asked before the power waiting for them is converted, so
// that it is known when rigctld will not convert the power.
void RigctldRadio::knowFrequency(int hz) {
  setting_.frequencyHz = hz;
  askOwnQuestions();
  sendHeldPower();
}

void RigctldRadio::knowMode(std::string_view name) {
  if (name.empty()) return;
  setting_.modeName = std::string(name);
  askOwnQuestions();
  sendHeldPower();
}

// Until the radio has told it, the top of the P key's steps.
int RigctldRadio::maximumWatts() const {
  return maximumWatts_ > 0 ? maximumWatts_ : powerSteps.back();
}

void RigctldRadio::sendHeldPower() {
  if (!heldPower_ || setting_.frequencyHz <= 0 || setting_.modeName.empty()) return;
  Held power = *heldPower_;
  heldPower_.reset();
  sendOperation(power.operation, power.before);
}

}  // namespace rigctld
