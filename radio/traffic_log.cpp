// The traffic log "debug.dat": its header, the radio's traffic (the dialect
// writes "TX=", "RX=" and "REFUSED=" lines through writeLogLine), the keys,
// the problems and the link's losses.
#include <cstdio>
#include <string>

#include "platform/virtual_keys.h"
#include "state/front_panel.h"

namespace {

constexpr long long trafficLogPart = 10LL << 20;

}  // namespace

// The log is a plain file of its own: a "debug.dat" that is a link, a hard
// link, a FIFO or a folder is left alone, and the run has no log. A long run
// (or a radio line full of noise) fills it without end, so at 10 MiB it is
// moved to "debug.dat.old" and a new one begun: some 12 hours of an ordinary
// run's traffic each (230 bytes a second), under an hour of a 38400-baud
// line's noise.
void FrontPanel::openTrafficLog() {
  if (debugFile.open("debug.dat", "W") != 0) {
    reportProblem("debug.dat " + debugFile.problem() + ": no traffic log is kept");
    return;
  }
  debugFile.rotateAt(trafficLogPart, ".old");
  debugFile.writeLine("QUELMO " + versionText + "  " + platform.dateText() + "   " +
                      platform.timeText());
  for (const std::string& problem : unloggedProblems) writeLogLine("ERR=" + problem);
  unloggedProblems.clear();
}

void FrontPanel::writeLogLine(std::string_view line) {
  if (debugFlag == 1) debugFile.writeLine(line);
}

// A problem with the program's files, for whoever reads standard error or
// the log; the line cannot be taken for a command, a reply or a key. One
// found before the log is open (in "quelmo.cfg") is written to it once it
// opens. Those found at the start also go to problems.txt.
void FrontPanel::reportProblem(std::string_view message) {
  std::string line = "quelmo: " + std::string(message) + "\n";
  std::fputs(line.c_str(), stderr);
  if (running == 0 && ended == 0) startProblems.emplace_back(message);
  if (debugFile.isOpen()) {
    writeLogLine("ERR=" + std::string(message));
  } else if (running == 0 && ended == 0) {
    unloggedProblems.emplace_back(message);
  }
}

void FrontPanel::logKey(int code) {
  if (code == key::enter) {
    writeLogLine("C/R");
  } else if (code == key::point) {
    writeLogLine(".");
  } else {
    writeLogLine(charText(code));
  }
}
