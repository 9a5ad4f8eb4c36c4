// The simulator's event loop: bytes from the serial line become commands for
// the Transceiver, its replies go back (late, split, paced or garbled when asked),
// knob lines from standard input turn the radio's own controls, at once or at
// the time they name, and the band noise moves on a clock.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>

#include "sim/command_log.h"
#include "sim/pty_link.h"
#include "sim/sim_options.h"
#include "sim/transceiver.h"

class Simulator {
 public:
  explicit Simulator(const SimOptions& options);

  // Opens the line and the log; false with `error` set when it cannot run.
  bool start(std::string& error);
  // Runs until a signal, "quit", or a hang-up. Returns the exit code.
  int run();

 private:
  struct Outgoing {
    std::int64_t dueUs;
    std::string bytes;
  };

  void receiveFromLine();
  void receiveKnobLines();
  void handleKnobLine(const std::string& line);
  void turnDueKnobs(std::int64_t nowUs);
  void answer(const std::string& reply, std::int64_t inUs);
  void queueOutput(const std::string& bytes, std::int64_t fromUs);
  void sendDueReplies(std::int64_t nowUs);
  void runClockSteps(std::int64_t nowMs);
  std::int64_t pollTimeoutUs(std::int64_t nowUs) const;

  SimOptions options_;
  Transceiver radio_;
  PtyLink line_;
  CommandLog log_;
  std::string received_;      // bytes since the last ";"
  std::string knobInput_;     // standard input since the last newline
  bool knobsOpen_ = true;
  bool finished_ = false;
  std::deque<Outgoing> outgoing_;
  std::multimap<std::int64_t, std::string> knobsDue_;  // "after" lines, by when they are due
  std::int64_t characterUs_ = 0;  // one character on the line; 0: no pacing
  std::int64_t lineInUs_ = 0;     // when the last command received was all in
  std::int64_t lineOutUs_ = 0;    // when the last byte queued goes out
  std::int64_t nextNoiseMs_ = 0;
  std::int64_t hangupAtMs_ = -1;
};
