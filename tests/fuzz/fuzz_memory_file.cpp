// Arbitrary bytes as "memory.dat": loading keeps only well-formed entries,
// sends only the program's commands, and saving then loading again gives
// the same tables.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enterScratchFolder();
  writeFile("memory.dat", data, size);

  ScriptedPlatform platform;
  FrontPanel panel(platform);
  startStation(panel);
  checkStoredTables(panel);
  checkTexts(panel);
  checkPortCommands(platform);

  // Every channel recalled: what a damaged file left in them still goes to
  // the radio in the program's own forms.
  panel.connectedSpoken = 1;
  for (int channel = 0; channel < 10; ++channel) panel.recallChannel(channel);
  checkPortCommands(platform);

  panel.saveMemoryFile();
  checkSavedMemories(panel);
  return 0;
}
