// The one way a command reaches the radio, and the traffic log "debug.dat".
#include <cstdio>
#include <string>

#include "app/front_panel.h"

namespace {

// A frequency or a mode command: a reply to a query sent before it no longer
// tells the radio's state. "FA" alone is the frequency query.
bool changesFrequencyOrMode(std::string_view command) {
  return (command.substr(0, 2) == "FA" && command.size() > 2) || command.substr(0, 2) == "MD";
}

}  // namespace

void FrontPanel::sendCommand() {
  if (changesFrequencyOrMode(commandText)) ++stateCommandCount;
  commandText += ";";  // a text at its capacity loses the ";": no command comes near that
  platform.writeSerial(comPort, commandText.data(), commandText.length());
  writeLogLine("TX=" + commandText);
}

// The log is a plain file of its own: a "debug.dat" that is a link, a hard
// link, a FIFO or a folder is left alone, and the run has no log.
void FrontPanel::openTrafficLog() {
  if (debugFile.open("debug.dat", "W") != 0) {
    reportProblem("debug.dat " + debugFile.problem() + ": no traffic log is kept");
    return;
  }
  debugFile.writeLine("QUELMO " + versionText + "  " + platform.dateText() + "   " +
                      platform.timeText());
}

void FrontPanel::writeLogLine(std::string_view line) {
  if (debugFlag == 1) debugFile.writeLine(line);
}

// A problem with the program's files, for whoever reads standard error or
// the log; the line cannot be taken for a command, a reply or a key.
void FrontPanel::reportProblem(std::string_view message) {
  std::string line = "quelmo: " + std::string(message) + "\n";
  std::fputs(line.c_str(), stderr);
  writeLogLine("ERR=" + std::string(message));
}

void FrontPanel::logKey() {
  if (keyCode == 13) {
    writeLogLine("C/R");
  } else if (keyCode == 190) {
    writeLogLine(".");
  } else {
    writeLogLine(charText(keyCode));
  }
}
