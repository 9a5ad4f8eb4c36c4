// The ten memory channels and "memory.dat", which keeps them and the band
// memory between runs: line 1 the version, then one line per band 1..13
// (mode digit and nine frequency digits), then one line per channel 0..9.
#include <array>
#include <cerrno>
#include <cstring>

#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

const std::string memoryFileName = "memory.dat";
// Written whole first, then put in place of the old file in one step, so a
// save cut short never costs the memories saved before.
const std::string newFileEnding = ".new";

constexpr int channelCount = 10;

bool isChannel(int digit) { return digit >= 0 && digit < channelCount; }

bool isEmptyChannel(std::string_view channel) { return firstChars(channel, 1) == "9"; }

// Why a line is not a mode digit and nine frequency digits.
std::string damage(std::string_view line) {
  if (line.empty()) return "it is empty";
  if (line.size() != 10) {
    return "it has " + std::to_string(line.size()) +
           (line.size() == 1 ? " character" : " characters") + ", not a mode and nine digits";
  }
  if (!isModeAndFrequency(charText(line[0]) + "000000000")) return "its mode is not 1 to 5";
  return "it holds a character that is not a digit";
}

}  // namespace

// What is stored is the radio's last report: the frequency it reported and
// the mode it was in then. The channel goes to "memory.dat" at once, so that
// a crash or a power cut cannot take it; when it cannot, the operator hears
// that the memories were not saved.
void FrontPanel::storeChannel(int digit) {
  if (!isChannel(digit)) return;
  speakWord(word::digit(digit));
  memoryChannel[digit] =
      lastChars(textOf(lastReplyMode), 1) + zeroPadded(reportedHz, frequencyDigits);
  bool saved = saveMemoryFile();
  speakWord(word::ok);
  if (!saved) speakWord(word::notSaved);
  channelAction = ChannelAction::none;
}

void FrontPanel::recallChannel(int digit) {
  if (!isChannel(digit)) return;
  speakWord(word::digit(digit));
  const Text& channel = memoryChannel[digit];
  if (!isModeAndFrequency(channel)) {  // empty, or never a stored channel
    speakWord(word::invalid);
    channelAction = ChannelAction::none;
    return;
  }
  modeIndex = roundToInt(numberOf(firstChars(channel, 1)));
  pointModeBand = 0;  // the channel's mode comes with its frequency
  selectMode();
  sendFrequency(roundToInt(numberOf(lastChars(channel, frequencyDigits))));
  channelAction = ChannelAction::none;
  speakWord(word::ok);
}

// Written whole to a new file beside the one it replaces, then put in its
// place in one step. Through a "memory.dat" that is a link the file it names
// is replaced, and the link stays. A file that could not be read at start is
// never written over: it may hold the operator's channels.
bool FrontPanel::saveMemoryFile() {
  if (memoryFileUnreadable == 1) {
    reportProblem(memoryFileName + " was not read at start and is left as it is: nothing saved");
    return false;
  }
  std::string target = linkTarget(memoryFileName);
  std::string newFile = target + newFileEnding;
  if (memoryFile.create(newFile) != 0) {
    reportProblem(newFile + " cannot be created (" + memoryFile.problem() + "): nothing saved");
    return false;
  }
  bool written = memoryFile.writeLine("V" + versionText);
  for (int band = firstBand; band <= lastBand; ++band) {
    written =
        memoryFile.writeLine(bandMode[band] + zeroPadded(bandHz[band], frequencyDigits)) && written;
  }
  for (const Text& channel : memoryChannel) written = memoryFile.writeLine(channel) && written;
  written = memoryFile.close() && written;
  if (written && renameFile(newFile, target)) return true;
  int error = errno;
  deleteFile(newFile);
  reportProblem(target + " cannot be saved (" + std::strerror(error) + "): the file is left as it was");
  return false;
}

// A missing file is created from the tables as they are and read back. A
// file that exists but cannot be read leaves the tables as they are and is
// never saved over. A line that is not in the form the program writes keeps
// the band's current values or reads as an empty channel, and is reported:
// the next save writes those in its place.
void FrontPanel::loadMemoryFile() {
  if (memoryFile.open(memoryFileName, "R") != 0) {
    if (!memoryFile.problem().empty()) {
      refuseMemoryFile(memoryFile.problem());
      return;
    }
    if (!saveMemoryFile()) return;
    if (memoryFile.open(memoryFileName, "R") != 0) return;
  }
  // Read whole before anything is taken, so a read that fails half way
  // leaves the tables as they were.
  std::array<std::string, 1 + lastBand + channelCount> lines;
  int linesRead = 0;
  for (std::string& line : lines) {
    if (memoryFile.readLine(line, Text::capacity) == 0) ++linesRead;
  }
  if (!memoryFile.close()) {
    refuseMemoryFile(std::strerror(EIO));
    return;
  }
  // Line numbers count from 1; line 1 is the version, not needed.
  auto notTaken = [&](int number, const std::string& what) {
    if (number > linesRead) return;  // reported once, below
    reportProblem(memoryFileName + " line " + std::to_string(number) + " (" + what +
                  ") is not taken: " + damage(lines[number - 1]));
  };
  for (int band = firstBand; band <= lastBand; ++band) {
    const std::string& line = lines[band];
    if (!isModeAndFrequency(line)) {
      notTaken(band + 1, "band " + std::to_string(band));
      continue;
    }
    bandMode[band] = firstChars(line, 1);
    bandHz[band] = roundToInt(numberOf(lastChars(line, frequencyDigits)));
  }
  for (int channel = 0; channel < channelCount; ++channel) {
    const std::string& line = lines[1 + lastBand + channel];
    bool taken = isEmptyChannel(line) || isModeAndFrequency(line);
    if (!taken) notTaken(2 + lastBand + channel, "channel " + std::to_string(channel));
    memoryChannel[channel] = taken ? line : std::string("9");
  }
  if (linesRead == 0) {
    reportProblem(memoryFileName + " is empty: the initial memories are used");
  } else if (linesRead < static_cast<int>(lines.size())) {
    reportProblem(memoryFileName + " ends after line " + std::to_string(linesRead) + " of " +
                  std::to_string(lines.size()) + ": the lines after are not taken");
  }
}

void FrontPanel::refuseMemoryFile(const std::string& why) {
  memoryFileUnreadable = 1;
  reportProblem(memoryFileName + " cannot be read (" + why +
                "): the initial memories are used, and the file is left as it is");
}
