// Arbitrary bytes as "memory.dat": loading keeps only well-formed entries,
// and saving then loading again gives the same tables.
#include "fuzz_support.h"

namespace {

void startPanel(FrontPanel& panel) {
  panel.comPort = 1;
  panel.powerWatts = 100;
  panel.bandCoverage = "7";
  panel.versionText = "1.9";
  panel.waveDir = "wave\\";
  panel.openingSequence();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enterScratchFolder();
  writeFile("memory.dat", data, size);

  ScriptedPlatform platform;
  FrontPanel panel(platform);
  startPanel(panel);
  checkStoredTables(panel);
  checkPortCommands(platform);

  panel.saveMemoryFile();
  ScriptedPlatform platformAgain;
  FrontPanel again(platformAgain);
  startPanel(again);
  for (int band = 1; band <= 13; ++band) {
    if (!(again.bandFrequency[band] == panel.bandFrequency[band]) ||
        !(again.bandMode[band] == panel.bandMode[band])) {
      fail("band " + std::to_string(band) + " changed through save and load");
    }
  }
  for (int channel = 0; channel < 10; ++channel) {
    if (!(again.memoryChannel[channel] == panel.memoryChannel[channel])) {
      fail("channel " + std::to_string(channel) + " changed through save and load");
    }
  }
  return 0;
}
