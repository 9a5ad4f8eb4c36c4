// The command line of quelmo-sim: where the port appears, what is logged, and
// the faults the simulated radio shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "radio/yaesu/models.h"

struct SimOptions {
  const yaesu::Model* model = &yaesu::writtenModel();  // the radio it is
  int identity = 0;             // > 0: "ID;" answered with this number instead
  std::string folder = ".";     // the folder that gets the COMn link
  int port = 1;                 // n of COMn
  std::string logPath;          // empty: no command log
  std::uint64_t seed = 0;       // 0: seeded from the clock
  int replyDelayMs = 0;         // every reply waits this long
  int baud = 0;                 // > 0: bytes paced as on a line of this speed
  bool split = false;           // replies go out in two parts
  int splitGapMs = 30;          // the gap between the two parts
  double garbleRate = 0.0;      // share of replies with one byte corrupted
  bool silent = false;          // never answers
  double hangupAfterSeconds = -1.0;  // < 0: never hangs up by itself
  bool startOff = false;        // starts switched off
  bool steadySMeter = false;    // the S-meter stays where it is set
  bool startUnplugged = false;  // the link leads nowhere until "plug"
  bool echo = false;            // every command is sent back before its reply
  std::vector<std::string> without;  // heads of commands the radio does not have
};

// The usage text printed by --help.
extern const char* const simUsage;

// Parses argv. Returns nothing and sets `error` (empty for --help) when the
// program should stop instead of running.
std::optional<SimOptions> parseSimOptions(int argc, char** argv, std::string& error);
