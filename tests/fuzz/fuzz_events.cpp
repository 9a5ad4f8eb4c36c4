// Arbitrary streams of key presses, key releases, ticks and replies into the
// event handler: nothing crashes, and only the program's own command forms
// reach the radio.
#include <array>

#include "fuzz_support.h"

namespace {

// Every key the key map names, and a few it does not (keypad digits).
constexpr std::array<int, 48> keys = {
    13,  16,  17,  33,  34,  37,  38,  39,  40,  45,  48,  49,  50,  51,  52,  53,
    54,  55,  56,  57,  65,  66,  67,  69,  70,  71,  72,  77,  80,  81,  82,  83,
    84,  87,  88,  90,  91,  112, 113, 114, 115, 116, 117, 187, 189, 190, 96,  110};

// Replies a radio might send, whole or not.
constexpr std::array<const char*, 10> replies = {
    "FA014200000;", "FA145000000;", "FA007100000;", "FA018150000;", "SM0130;",
    "RM6125;",      "FA0142",       "00000;",       "?;",           "FA999999999;"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enterScratchFolder();
  ScriptedPlatform platform;
  FrontPanel panel(platform);
  panel.comPort = 1;
  panel.powerWatts = 100;
  panel.bandCoverage = "7";
  panel.swrAnnounce = 1;
  panel.tuneCarrier = size % 2;
  panel.versionText = "1.9";
  panel.waveDir = "wave\\";
  panel.openingSequence();
  panel.running = 1;

  auto deliver = [&panel](int code, int param) {
    panel.eventCode = code;
    panel.eventParam = param;
    panel.handleEvent();
  };
  for (size_t at = 0; at + 1 < size && panel.running == 1; at += 2) {
    uint8_t kind = data[at] % 4;
    uint8_t value = data[at + 1];
    if (kind == 0) {
      deliver(event::keyDown, keys[value % keys.size()]);
    } else if (kind == 1) {
      deliver(event::keyUp, 0);
    } else if (kind == 2) {
      deliver(event::timerTick, 1);
    } else {
      platform.queueReply(replies[value % replies.size()]);
    }
    if (panel.frequencyHz < 0 || panel.frequencyHz > 999999999) fail("frequency out of range");
  }
  checkPortCommands(platform);
  checkStoredTables(panel);
  return 0;
}
