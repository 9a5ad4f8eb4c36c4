#include "fuzz_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "command_forms.h"
#include "radio/yaesu/yaesu_radio.h"

namespace {

bool isDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool isModeDigit(char c) { return c >= '1' && c <= '5'; }

}  // namespace

void enterScratchFolder() {
  static bool entered = false;
  if (entered) return;
  std::string pattern = (std::filesystem::temp_directory_path() / "quelmo-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr || ::chdir(pattern.c_str()) != 0) {
    fail("cannot make a scratch folder");
  }
  entered = true;
}

void writeFile(const char* name, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) fail(std::string("cannot write ") + name);
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);
}

void fail(const std::string& message) {
  std::fprintf(stderr, "invariant broken: %s\n", message.c_str());
  std::abort();
}

void checkPortCommands(const ScriptedPlatform& platform) {
  for (const auto& command : platform.commands()) {
    if (!isProgramCommand(command)) fail("command not of the program's forms: " + command);
  }
}

void checkStoredTables(const FrontPanel& panel) {
  for (int band = 1; band <= 13; ++band) {
    int frequency = panel.bandHz[band];
    const auto& mode = panel.bandMode[band].str();
    if (frequency < 0 || frequency > 999'999'999)
      fail("band frequency " + std::to_string(frequency));
    if (mode.size() != 1 || !isModeDigit(mode[0])) fail("band mode " + mode);
  }
  for (const auto& channel : panel.memoryChannel) {
    const auto& text = channel.str();
    bool empty = !text.empty() && text[0] == '9';
    bool stored = text.size() == 10 && isModeDigit(text[0]) && isDigits(text.substr(1));
    if (!empty && !stored) fail("memory channel " + text);
  }
}

void checkRadioState(const FrontPanel& panel) {
  if (panel.frequencyHz < 0 || panel.frequencyHz > 999999999) {
    fail("frequency out of range: " + std::to_string(panel.frequencyHz));
  }
  bool bandKnown = (panel.bandIndex >= 1 && panel.bandIndex <= 13) || panel.bandIndex == 99;
  if (!bandKnown) fail("band index " + std::to_string(panel.bandIndex));
  if (panel.modeIndex < 1 || panel.modeIndex > 5) fail("mode " + std::to_string(panel.modeIndex));
}

void checkTexts(const FrontPanel& panel) {
  if (panel.freqDisplay.str().size() > Text::capacity) fail("the display beyond its capacity");
  if (panel.radio->unfinished().size() >= yaesu::YaesuRadio::longestUnfinished) {
    fail("an unfinished reply longer than the dialect keeps: " + panel.radio->unfinished());
  }
  if (panel.reportedHz < 0 || panel.reportedHz > 999'999'999) {
    fail("a reported frequency out of range: " + std::to_string(panel.reportedHz));
  }
}

void startStation(FrontPanel& panel) {
  panel.comPort = 1;
  panel.powerWatts = 100;
  panel.bandCoverage = "7";
  panel.versionText = "1.9";
  panel.waveDir = "wave\\";
  panel.openingSequence();
}

void checkSavedMemories(const FrontPanel& panel) {
  ScriptedPlatform platform;
  FrontPanel again(platform);
  startStation(again);
  for (int band = 1; band <= 13; ++band) {
    if (again.bandHz[band] != panel.bandHz[band] ||
        !(again.bandMode[band] == panel.bandMode[band])) {
      fail("band " + std::to_string(band) + " changed through save and load");
    }
  }
  for (int channel = 0; channel < 10; ++channel) {
    if (!(again.memoryChannel[channel] == panel.memoryChannel[channel])) {
      fail("channel " + std::to_string(channel) + " changed through save and load: " +
           panel.memoryChannel[channel].str() + " became " + again.memoryChannel[channel].str());
    }
  }
}
