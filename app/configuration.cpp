// The station's settings from "quelmo.cfg": eight lines, each value cut out of
// its line by position or by the line's length. No label is looked at, so the
// text before a value is free; only its length matters. A missing line reads
// as empty and gives 0.
#include <filesystem>

#include "app/options.h"
#include "app/port_line.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

// A configuration number: the number of the text, its fraction dropped.
int settingOf(std::string_view text) { return truncateToInt(numberOf(text)); }

// The one character at a position of the line, as text (empty past its end).
std::string characterAt(std::string_view line, int position) {
  return middleChars(line, position, 1);
}

int lengthOf(const std::string& line) { return static_cast<int>(line.size()); }

const std::string configFileName = "quelmo.cfg";

// Why the file is not there to read: missing, or a link that leads nowhere.
std::string whyMissing() {
  std::string target = linkTarget(configFileName);
  if (target != configFileName) return "is a link to " + target + ", which does not exist";
  std::error_code unknown;
  std::string folder = std::filesystem::current_path(unknown).string();
  return "is not in this folder" + (folder.empty() ? std::string() : " (" + folder + ")");
}

}  // namespace

// Without its settings the program cannot run: it says so, by ear and on
// standard error, and ends.
void FrontPanel::refuseConfiguration(const std::string& why) {
  reportProblem(configFileName + " " + why + ": Quelmo cannot run without it");
  speakWord(word::configurationNotFound);
}

bool FrontPanel::readConfiguration() {
  // Anything but a plain file (a folder, a FIFO, a device) is not found.
  if (configFile.open(configFileName, "R") != 0) {
    refuseConfiguration(configFile.problem().empty() ? whyMissing() : configFile.problem());
    return false;
  }
  // Lines are cut to the capacity of a text as they are read.
  std::string line;

  configFile.readLine(line);  // "port1", "COM12": the number it ends with, whatever its length
  comPort = portOfLine(line);
  // A line longer than a text was cut: what it ends in was never read.
  std::size_t portLineLength = configFile.lastLineLength();
  if (portLineLength > line.size()) comPort = 0;

  configFile.readLine(line);  // "BAUD= 38400"
  baudRate = settingOf(middleChars(line, 7));

  configFile.readLine(line);  // power by the line's length: 7, 8 or 9 characters
  if (lengthOf(line) == 7) {
    powerWatts = settingOf(lastChars(line, 1));
  } else if (lengthOf(line) == 8) {
    powerWatts = settingOf(lastChars(line, 2));
  } else if (lengthOf(line) == 9) {
    powerWatts = 100;
  }
  if (powerWatts < 5) powerWatts = 5;

  configFile.readLine(line);
  swrAnnounce = static_cast<SwrAnnounce>(settingOf(characterAt(line, 5)));
  configFile.readLine(line);
  tuneCarrier = settingOf(characterAt(line, 5));
  configFile.readLine(line);
  bandCoverage = characterAt(line, 9);
  configFile.readLine(line);
  powerControl = settingOf(characterAt(line, 8));
  configFile.readLine(line);
  debugFlag = settingOf(characterAt(line, 7));

  // Every further line is an option; a line not taken keeps the default.
  int linesNotTaken = 0;
  for (int number = 9; configFile.readLine(line) == 0; ++number) {
    std::string problem = takeOptionLine(*this, line);
    if (!problem.empty()) {
      ++linesNotTaken;
      reportProblem("quelmo.cfg line " + std::to_string(number) + " \"" + line + "\" " + problem +
                    ": ignored");
    }
  }
  // A file that holds more than a station file can is not read as one.
  if (!configFile.close()) {
    refuseConfiguration(configFile.problem());
    return false;
  }
  // Through rigctld, line 1 names no port of the radio's.
  chooseRadio();
  if (comPort < 1) {
    reportProblem(configFileName + " line 1 (" + std::to_string(portLineLength) +
                  " characters) names no port");
  }
  platform.setSpeechRate(speechRate);
  chooseSpeech();
  // Said once, however many lines, in the speech just chosen: the operator
  // learns why an option did nothing; problems.txt names the line.
  if (linesNotTaken > 0) {
    speakWord(word::option);
    speakWord(word::invalid);
    handOverUtterance();
  }
  return true;
}
