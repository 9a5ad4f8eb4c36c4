// The ten memory channels and "memory.dat", which keeps them and the band
// memory between runs: line 1 the version, then one line per band 1..13
// (mode digit and nine frequency digits), then one line per channel 0..9.
//
// The file is written only over a memory file of its own: a "memory.dat"
// that cannot be read, that is no memory file (a link to the station's
// quelmo.cfg, to the operator's notes) or that is read-only is left as it
// is, and every store and the end say that the memories were not saved.
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
constexpr int memoryLines = 1 + lastBand + channelCount;  // the version, the bands, the channels

bool isChannel(int digit) { return digit >= 0 && digit < channelCount; }

bool isEmptyChannel(std::string_view channel) { return firstChars(channel, 1) == "9"; }

// "V" and the version of the program that wrote the file: "V1.9".
bool isVersionLine(std::string_view line) {
  return line.size() >= 2 && line[0] == 'V' &&
         line.find_first_not_of("0123456789.", 1) == std::string_view::npos;
}

// Whether line `index` (0 the version) holds what the file keeps there.
bool isMemoryLine(int index, std::string_view line) {
  if (index <= lastBand) return isModeAndFrequency(line);
  return isEmptyChannel(line) || isModeAndFrequency(line);
}

// Why a file read as these lines is not a memory file; empty when it is
// one. An empty file holds nothing to lose. Otherwise its first line is the
// version, and of the lines after it more are memories than are not
// (damage here and there is taken for what it is: the lines not taken are
// reported, and the next save replaces them).
std::string whyNoMemoryFile(const std::array<std::string, memoryLines>& lines, int linesRead,
                            int linesBeyond) {
  int memories = 0;
  int blanks = 0;
  for (int index = 0; index < linesRead; ++index) {
    if (lines[index].empty()) ++blanks;
    if (index > 0 && isMemoryLine(index, lines[index])) ++memories;
  }
  if (blanks == linesRead && linesBeyond == 0) return {};
  if (!isVersionLine(lines[0])) return "its first line is not a version such as V1.9";
  int others = linesRead - 1 - memories + linesBeyond;
  if (others > memories) {
    return "only " + std::to_string(memories) + " of its " + std::to_string(memories + others) +
           " lines after the version are memories";
  }
  return {};
}

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

// What is stored is the radio's report, asked now: the frequency it reported
// and the mode it was in then. The channel goes to "memory.dat" at once, so that
// a crash or a power cut cannot take it; when it cannot, the operator hears
// that the memories were not saved.
void FrontPanel::storeChannel(int digit) {
  if (!isChannel(digit)) return;
  speakWord(word::digit(digit));
  askFrequencyFirst();
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
  askFrequencyFirst();  // the band left keeps the radio's frequency
  modeIndex = roundToInt(numberOf(firstChars(channel, 1)));
  pointModeBand = 0;  // the channel's mode comes with its frequency
  selectMode();
  sendFrequency(roundToInt(numberOf(lastChars(channel, frequencyDigits))));
  channelAction = ChannelAction::none;
  speakWord(word::ok);
}

// Written whole to a new file beside the one it replaces, then put in its
// place in one step. Through a "memory.dat" that is a link the file it names
// is replaced, and the link stays. A file that could not be read at start,
// or was no memory file, is never written over: it may hold the operator's
// channels, or be another file altogether. Nor is a read-only one: the
// operator keeps it as it is.
bool FrontPanel::saveMemoryFile() {
  if (memoryFileKept == 1) {
    reportProblem(memoryFileName + " is left as it was found at start: nothing saved");
    return false;
  }
  std::string target = linkTarget(memoryFileName);
  if (isReadOnly(target)) {
    reportProblem(memoryFileName + " is read-only: nothing saved");
    return false;
  }
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
// file that exists but cannot be read, or is no memory file, leaves the
// tables as they are and is never saved over. A line that is not in the
// form the program writes keeps the band's current values or reads as an
// empty channel, and is reported: the next save writes those in its place.
void FrontPanel::loadMemoryFile() {
  if (memoryFile.open(memoryFileName, "R") != 0) {
    if (!memoryFile.problem().empty()) {
      refuseMemoryFile("cannot be read (" + memoryFile.problem() + ")");
      return;
    }
    if (!saveMemoryFile()) return;
    if (memoryFile.open(memoryFileName, "R") != 0) return;
  }
  // Read whole before anything is taken, so a read that fails half way
  // leaves the tables as they were.
  std::array<std::string, memoryLines> lines;
  int linesRead = 0;
  for (std::string& line : lines) {
    if (memoryFile.readLine(line, Text::capacity) == 0) ++linesRead;
  }
  // The lines after the file's form, blank ones aside: the next save leaves
  // them out.
  int linesBeyond = 0;
  int firstBeyond = 0;
  std::string beyond;
  for (int number = memoryLines + 1; memoryFile.readLine(beyond, 0) == 0; ++number) {
    if (memoryFile.lastLineLength() == 0) continue;
    if (linesBeyond++ == 0) firstBeyond = number;
  }
  if (!memoryFile.close()) {
    refuseMemoryFile("cannot be read (" + memoryFile.problem() + ")");
    return;
  }
  if (std::string why = whyNoMemoryFile(lines, linesRead, linesBeyond); !why.empty()) {
    refuseMemoryFile("is no memory file (" + why + ")");
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
    if (!isMemoryLine(band, line)) {
      notTaken(band + 1, "band " + std::to_string(band));
      continue;
    }
    bandMode[band] = firstChars(line, 1);
    bandHz[band] = roundToInt(numberOf(lastChars(line, frequencyDigits)));
  }
  for (int channel = 0; channel < channelCount; ++channel) {
    const int index = 1 + lastBand + channel;
    bool taken = isMemoryLine(index, lines[index]);
    if (!taken) notTaken(index + 1, "channel " + std::to_string(channel));
    memoryChannel[channel] = taken ? lines[index] : std::string("9");
  }
  if (linesRead == 0) {
    reportProblem(memoryFileName + " is empty: the initial memories are used");
  } else if (linesRead < memoryLines) {
    reportProblem(memoryFileName + " ends after line " + std::to_string(linesRead) + " of " +
                  std::to_string(memoryLines) + ": the lines after are not taken");
  }
  if (linesBeyond > 0) {
    reportProblem(memoryFileName + " has " + std::to_string(linesBeyond) +
                  (linesBeyond == 1 ? " line" : " lines") + " after its last channel, from line " +
                  std::to_string(firstBeyond) + ": not taken, and the next save leaves " +
                  (linesBeyond == 1 ? "it" : "them") + " out");
  }
  if (isReadOnly(linkTarget(memoryFileName))) {
    reportProblem(memoryFileName +
                  " is read-only: its memories are used, and nothing is saved to it");
  }
}

void FrontPanel::refuseMemoryFile(const std::string& why) {
  memoryFileKept = 1;
  reportProblem(memoryFileName + " " + why +
                ": the initial memories are used, and the file is left as it is");
}
