// Arbitrary bytes as "quelmo.cfg": the reader never crashes and leaves every
// setting within what its line can hold.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enterScratchFolder();
  writeFile("quelmo.cfg", data, size);
  ScriptedPlatform platform;
  FrontPanel panel(platform);
  panel.waveDir = "wave\\";
  if (!panel.readConfiguration()) fail("an existing quelmo.cfg was reported missing");
  if (panel.bandCoverage.size() > 1) fail("band coverage longer than one character");
  if (panel.powerWatts < 5) fail("power below the floor of 5 W");
  if (!platform.portBytes.empty()) fail("reading the configuration wrote to the port");
  return 0;
}
