#include "sim/simulator.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <utility>

namespace {

constexpr int kNoiseStepMs = 100;     // S-meter wander and SWR drift
constexpr std::size_t kLongestCommand = 64;  // longer text without ";" is noise
constexpr long kLongestKnobWaitMs = 3'600'000;  // "after" an hour at most
// A character on the line is a start bit, 8 data bits and two stop bits.
constexpr std::int64_t kBitsPerCharacter = 11;

volatile sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

}  // namespace

Simulator::Simulator(const SimOptions& options)
    : options_(options),
      radio_(
          options.seed != 0 ? options.seed : static_cast<std::uint64_t>(timestampNow().realtimeUs),
          options.startOff, *options.model),
      characterUs_(options.baud > 0 ? kBitsPerCharacter * 1000000 / options.baud : 0) {
  for (const std::string& head : options.without) radio_.removeCommand(head);
  if (options.identity > 0) radio_.answerIdentity(options.identity);
}

bool Simulator::start(std::string& error) {
  if (!options_.logPath.empty() && !log_.open(options_.logPath)) {
    error = "cannot open the log " + options_.logPath;
    return false;
  }
  if (!line_.open(options_.folder, options_.port, error)) return false;
  if (options_.startUnplugged) line_.unplug();

  // SIGTERM and SIGINT are only let through inside ppoll, so a stop request
  // can never slip in between the check and the wait.
  struct sigaction action{};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGTERM);
  sigaddset(&blocked, SIGINT);
  sigprocmask(SIG_BLOCK, &blocked, nullptr);

  const std::int64_t now = monotonicMs();
  nextNoiseMs_ = now + kNoiseStepMs;
  if (options_.hangupAfterSeconds >= 0.0) {
    hangupAtMs_ = now + static_cast<std::int64_t>(options_.hangupAfterSeconds * 1000.0);
  }
  std::printf("ready %s\n", line_.linkPath().c_str());
  std::fflush(stdout);
  return true;
}

int Simulator::run() {
  sigset_t waitMask;
  sigprocmask(SIG_SETMASK, nullptr, &waitMask);
  sigdelset(&waitMask, SIGTERM);
  sigdelset(&waitMask, SIGINT);

  while (!finished_ && !stopRequested) {
    const std::int64_t nowUs = monotonicUs();
    const std::int64_t now = nowUs / 1000;
    if (hangupAtMs_ >= 0 && now >= hangupAtMs_) break;
    sendDueReplies(nowUs);
    turnDueKnobs(nowUs);
    runClockSteps(now);

    pollfd fds[2] = {{line_.masterFd(), POLLIN, 0}, {knobsOpen_ ? STDIN_FILENO : -1, POLLIN, 0}};
    const std::int64_t timeoutUs = pollTimeoutUs(nowUs);
    const timespec timeout{static_cast<time_t>(timeoutUs / 1000000),
                           static_cast<long>(timeoutUs % 1000000) * 1000L};
    if (ppoll(fds, 2, &timeout, &waitMask) < 0) continue;  // a signal: the loop checks it
    if (fds[0].revents & POLLIN) receiveFromLine();
    if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) receiveKnobLines();
  }
  line_.hangUp();
  return 0;
}

void Simulator::receiveFromLine() {
  char buffer[512];
  const ssize_t count = read(line_.masterFd(), buffer, sizeof buffer);
  // Stamped before anything else, so the log shows when the bytes came.
  const Timestamp arrived = timestampNow();
  // On a paced line each byte is in one character's time after the one
  // before; the radio takes each command in the order it came, at once.
  lineInUs_ = std::max(lineInUs_, arrived.monotonicUs);
  for (ssize_t i = 0; i < count; ++i) {
    lineInUs_ += characterUs_;
    if (buffer[i] != ';') {
      received_ += buffer[i];
      if (received_.size() > kLongestCommand) received_.clear();
      continue;
    }
    log_.write(arrived, received_ + ";");
    if (options_.echo) queueOutput(received_ + ";", lineInUs_);
    if (auto reply = radio_.handleCommand(received_)) answer(*reply, lineInUs_);
    received_.clear();
  }
}

// The reply starts once its query is all in and the radio's delay has
// passed, and never before the reply ahead of it has gone out, so replies
// keep their order.
void Simulator::answer(const std::string& reply, std::int64_t inUs) {
  if (options_.silent) return;
  const std::string bytes = radio_.chance(options_.garbleRate) ? radio_.garble(reply) : reply;
  const std::int64_t startUs = inUs + std::int64_t{options_.replyDelayMs} * 1000;
  const std::size_t half = options_.split && bytes.size() > 1 ? bytes.size() / 2 : bytes.size();
  const std::int64_t gapUs = std::int64_t{options_.splitGapMs} * 1000;
  const std::pair<std::int64_t, std::string> parts[] = {{startUs, bytes.substr(0, half)},
                                                        {startUs + gapUs, bytes.substr(half)}};
  for (const auto& [partUs, part] : parts) {
    if (!part.empty()) queueOutput(part, partUs);
  }
  sendDueReplies(monotonicUs());
}

// Bytes go out from `fromUs` on, after those queued before them, at the
// line's pace.
void Simulator::queueOutput(const std::string& bytes, std::int64_t fromUs) {
  lineOutUs_ = std::max(lineOutUs_, fromUs);
  if (characterUs_ == 0) {
    outgoing_.push_back({lineOutUs_, bytes});
    return;
  }
  for (char byte : bytes) {
    lineOutUs_ += characterUs_;
    outgoing_.push_back({lineOutUs_, std::string(1, byte)});
  }
}

void Simulator::sendDueReplies(std::int64_t nowUs) {
  std::string due;
  while (!outgoing_.empty() && outgoing_.front().dueUs <= nowUs) {
    due += outgoing_.front().bytes;
    outgoing_.pop_front();
  }
  // A full terminal buffer drops the reply, as a radio talking to a
  // computer that does not read would lose it.
  if (!due.empty()) (void)!write(line_.masterFd(), due.data(), due.size());
}

void Simulator::runClockSteps(std::int64_t nowMs) {
  while (nowMs >= nextNoiseMs_) {
    if (!options_.steadySMeter) radio_.wanderSMeter();
    radio_.driftSwr();
    nextNoiseMs_ += kNoiseStepMs;
  }
}

std::int64_t Simulator::pollTimeoutUs(std::int64_t nowUs) const {
  std::int64_t wakeUs = nextNoiseMs_ * 1000;
  if (!outgoing_.empty()) wakeUs = std::min(wakeUs, outgoing_.front().dueUs);
  if (!knobsDue_.empty()) wakeUs = std::min(wakeUs, knobsDue_.begin()->first);
  if (hangupAtMs_ >= 0) wakeUs = std::min(wakeUs, hangupAtMs_ * 1000);
  return std::clamp<std::int64_t>(wakeUs - nowUs, 0, 1000000);
}

void Simulator::receiveKnobLines() {
  char buffer[256];
  const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
  if (count <= 0) {  // standard input ended: the radio runs on untouched
    if (count == 0 || (errno != EINTR && errno != EAGAIN)) knobsOpen_ = false;
    return;
  }
  knobInput_.append(buffer, static_cast<std::size_t>(count));
  std::size_t newline = 0;
  while ((newline = knobInput_.find('\n')) != std::string::npos) {
    handleKnobLine(knobInput_.substr(0, newline));
    knobInput_.erase(0, newline + 1);
  }
}

void Simulator::turnDueKnobs(std::int64_t nowUs) {
  while (!knobsDue_.empty() && knobsDue_.begin()->first <= nowUs) {
    std::string line = knobsDue_.begin()->second;
    knobsDue_.erase(knobsDue_.begin());
    handleKnobLine(line);
  }
}

// Each knob line is logged as it takes effect, "knob" and the line, so a
// test can tell how long after the knob's turn a key's commands came.
void Simulator::handleKnobLine(const std::string& line) {
  std::istringstream words(line);
  std::string knob;
  words >> knob;
  long value = 0;
  std::string text;
  if (!knob.empty()) log_.write(timestampNow(), "knob " + line);
  if (knob == "after" && words >> value && value >= 0 && value <= kLongestKnobWaitMs) {
    std::getline(words >> std::ws, text);
    knobsDue_.emplace(monotonicUs() + value * 1000, text);
  } else if (knob == "freq" && words >> value && value >= 0 && value <= 999999999) {
    radio_.setFrequency(value);
  } else if (knob == "mode" && words >> text && text.size() == 1) {
    radio_.setMode(text[0]);
  } else if (knob == "smeter" && words >> value) {
    radio_.setSMeter(static_cast<int>(value));
  } else if (knob == "off") {
    radio_.switchOff();
  } else if (knob == "on") {
    radio_.switchOn();
  } else if (knob == "hangup" || knob == "quit") {
    finished_ = true;
  } else if (knob == "unplug") {
    line_.unplug();
    outgoing_.clear();  // replies on their way are lost with the cable
    received_.clear();
  } else if (knob == "plug") {
    std::string error;
    if (!line_.plug(error)) std::fprintf(stderr, "quelmo-sim: %s\n", error.c_str());
  } else if (!knob.empty()) {
    std::fprintf(stderr, "quelmo-sim: unknown knob line: %s\n", line.c_str());
  }
}
