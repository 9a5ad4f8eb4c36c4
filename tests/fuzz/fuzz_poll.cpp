// Arbitrary bytes from the radio, split at arbitrary points between the
// poll's ticks: nothing crashes, the state stays in range, and only the
// program's own command forms reach the radio.
#include "fuzz_support.h"

namespace {

void checkRadioState(const FrontPanel& panel) {
  if (panel.frequencyHz < 0 || panel.frequencyHz > 999999999) {
    fail("frequency out of range: " + std::to_string(panel.frequencyHz));
  }
  bool bandKnown = (panel.bandIndex >= 1 && panel.bandIndex <= 13) || panel.bandIndex == 99;
  if (!bandKnown) fail("band index " + std::to_string(panel.bandIndex));
  if (panel.modeIndex < 1 || panel.modeIndex > 5) fail("mode " + std::to_string(panel.modeIndex));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enterScratchFolder();
  ScriptedPlatform platform;
  FrontPanel panel(platform);
  panel.comPort = 1;
  panel.powerWatts = 100;
  panel.bandCoverage = "7";
  panel.swrAnnounce = 1;
  panel.versionText = "1.9";
  panel.waveDir = "wave\\";
  panel.openingSequence();

  // Each chunk: a length byte (low 5 bits: bytes that arrive; high 3 bits:
  // ticks that pass after them), then the bytes.
  size_t at = 0;
  while (at < size) {
    uint8_t header = data[at++];
    size_t count = header & 0x1F;
    int ticks = (header >> 5) + 1;
    if (count > size - at) count = size - at;
    platform.queueReply(std::string(reinterpret_cast<const char*>(data + at), count));
    at += count;
    for (int tick = 0; tick < ticks; ++tick) panel.pollRadio();
    checkRadioState(panel);
  }
  checkPortCommands(platform);
  return 0;
}
