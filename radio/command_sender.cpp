// The one way a command reaches the radio, and the traffic log "debug.dat".
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

void FrontPanel::openTrafficLog() {
  debugFile.open("debug.dat", "W");
  debugFile.writeLine("QUELMO " + versionText + "  " + platform.dateText() + "   " +
                      platform.timeText());
}

void FrontPanel::writeLogLine(std::string_view line) {
  if (debugFlag == 1) debugFile.writeLine(line);
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
