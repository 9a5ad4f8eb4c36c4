// The ten memory channels and "memory.dat", which keeps them and the band
// memory between runs: line 1 the version, then one line per band 1..13
// (mode digit and nine frequency digits), then one line per channel 0..9.
#include "app/front_panel.h"
#include "controls/band_table.h"

namespace {

const std::string memoryFileName = "memory.dat";
// Written whole first, then put in place of the old file in one step, so a
// save cut short never costs the memories saved before.
const std::string newMemoryFileName = "memory.dat.new";

constexpr int channelCount = 10;

bool isChannel(int digit) { return digit >= 0 && digit < channelCount; }

bool isEmptyChannel(std::string_view channel) { return firstChars(channel, 1) == "9"; }

}  // namespace

// What is stored is the radio's last report: the frequency it reported and
// the mode it was in then.
void FrontPanel::storeChannel(int digit) {
  if (!isChannel(digit)) return;
  speakWord(charText('0' + digit));
  memoryChannel[digit] = lastChars(textOf(lastReplyMode), 1) + freqDigits;
  speakWord("ok");
  channelAction = 0;
}

void FrontPanel::recallChannel(int digit) {
  if (!isChannel(digit)) return;
  speakWord(charText('0' + digit));
  const Text& channel = memoryChannel[digit];
  if (!isModeAndFrequency(channel)) {  // empty, or never a stored channel
    speakWord("invalid");
    channelAction = 0;
    return;
  }
  modeIndex = roundToInt(numberOf(firstChars(channel, 1)));
  selectMode();
  sendFrequency(roundToInt(numberOf(lastChars(channel, 9))));
  channelAction = 0;
  speakWord("ok");
}

void FrontPanel::saveMemoryFile() {
  if (memoryFile.open(newMemoryFileName, "W") != 0) return;
  bool written = memoryFile.writeLine("V" + versionText);
  for (int band = firstBand; band <= lastBand; ++band) {
    written = memoryFile.writeLine(bandMode[band] + lastChars(bandFrequency[band], 9)) && written;
  }
  for (const Text& channel : memoryChannel) written = memoryFile.writeLine(channel) && written;
  written = memoryFile.close() && written;
  if (written) {
    renameFile(newMemoryFileName, memoryFileName);
  } else {
    deleteFile(newMemoryFileName);
  }
}

// A missing file is created from the tables as they are and read back. When
// it can be neither opened nor created, the tables stay as they are. A line
// that is not in the form the program writes keeps the band's current values
// or reads as an empty channel.
void FrontPanel::loadMemoryFile() {
  if (memoryFile.open(memoryFileName, "R") != 0) {
    saveMemoryFile();
    if (memoryFile.open(memoryFileName, "R") != 0) return;
  }
  std::string line;
  memoryFile.readLine(line);  // the version, not needed to read the rest
  for (int band = firstBand; band <= lastBand; ++band) {
    memoryFile.readLine(line, Text::capacity);
    if (!isModeAndFrequency(line)) continue;
    bandMode[band] = firstChars(line, 1);
    bandFrequency[band] = "FA" + lastChars(line, 9);
  }
  for (Text& channel : memoryChannel) {
    memoryFile.readLine(line, Text::capacity);
    channel = isEmptyChannel(line) || isModeAndFrequency(line) ? line : std::string("9");
  }
  memoryFile.close();
}
