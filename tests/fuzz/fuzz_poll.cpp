// Arbitrary bytes from the radio, split at arbitrary points between the
// poll's ticks, while tuning or not and with band steps queued: nothing
// crashes, the state stays in range, and only the program's own command
// forms reach the radio.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  enterScratchFolder();
  ScriptedPlatform platform;
  FrontPanel panel(platform);
  panel.swrAnnounce = SwrAnnounce::fullOnce;
  startStation(panel);
  // The first byte: tuning (SWR polled instead of the S-meter), and the band
  // steps waiting for the next frequency replies (-4..3).
  panel.tuneActive = data[0] & 1;
  panel.bandStepPending = ((data[0] >> 1) & 7) - 4;

  // Each chunk: a length byte (low 5 bits: bytes that arrive; high 3 bits:
  // ticks that pass after them), then the bytes.
  size_t at = 1;
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
  checkStoredTables(panel);
  checkTexts(panel);
  return 0;
}
