// Arbitrary bytes as "quelmo.cfg": the reader never crashes and leaves every
// setting within what its line can hold; a station started on it, tuning and
// changing the power, sends only the program's own commands.
#include "fuzz_support.h"

namespace {

constexpr int keyTune = 'T';
constexpr int keyPower = 'P';
constexpr int keyUp = 38;
constexpr int keyDown = 40;
constexpr int keySwr = 'S';
constexpr int keyBand = 'B';

void press(FrontPanel& panel, int key) {
  panel.handleEvent(event::keyDown, key);
  panel.handleEvent(event::keyUp, key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enterScratchFolder();
  writeFile("quelmo.cfg", data, size);
  ScriptedPlatform platform;
  FrontPanel panel(platform);
  panel.versionText = "1.9";
  panel.waveDir = "wave\\";
  if (!panel.readConfiguration()) fail("an existing quelmo.cfg was reported missing");
  if (panel.bandCoverage.size() > 1) fail("band coverage longer than one character");
  if (panel.powerWatts < 5) fail("power below the floor of 5 W");
  if (!platform.portBytes.empty()) fail("reading the configuration wrote to the port");

  panel.openingSequence();
  panel.running = 1;
  platform.queueReply("FA014200000;");
  panel.pollRadio();
  panel.pollRadio();
  for (int key : {keyPower, keyUp, keyUp, keyDown, keyTune, keySwr, keyTune, keyBand, keyUp, keyUp}) {
    press(panel, key);
  }
  platform.queueReply("FA014200000;");
  for (int tick = 0; tick < 8; ++tick) panel.pollRadio();
  checkPortCommands(platform);
  checkRadioState(panel);
  return 0;
}
