// Arbitrary streams of key presses, key releases, ticks and replies into the
// event handler, under a station set up from the first byte: nothing
// crashes, only the program's own command forms reach the radio, and when
// the stream ends with the quit key the saved memories read back the same.
#include <array>

#include "fuzz_support.h"
#include "platform/virtual_keys.h"

namespace {

// Every key the key map names, and a few it does not (keypad digits).
constexpr std::array<int, 48> keys = {key::enter,
                                      key::shift,
                                      key::ctrl,
                                      key::pageUp,
                                      key::pageDown,
                                      key::left,
                                      key::up,
                                      key::right,
                                      key::down,
                                      key::insert,
                                      '0',
                                      '1',
                                      '2',
                                      '3',
                                      '4',
                                      '5',
                                      '6',
                                      '7',
                                      '8',
                                      '9',
                                      'A',
                                      'B',
                                      'C',
                                      'E',
                                      'F',
                                      'G',
                                      'H',
                                      'M',
                                      'P',
                                      'Q',
                                      'R',
                                      'S',
                                      'T',
                                      'W',
                                      'X',
                                      'Z',
                                      key::leftWindows,
                                      key::f1,
                                      key::f2,
                                      key::f3,
                                      key::f4,
                                      key::f5,
                                      key::f6,
                                      key::equals,
                                      key::minus,
                                      key::point,
                                      key::keypad0,
                                      key::keypadPoint};

// Replies a radio might send, whole or not, with the answers to the
// questions that find it (identity, mode).
constexpr std::array<const char*, 14> replies = {
    "FA014200000;", "FA145000000;", "FA007100000;", "FA018150000;", "SM0130;",
    "RM6125;",      "FA0142",       "00000;",       "?;",           "FA999999999;",
    "FA000000000;", "FA430000000;", "ID0670;",      "MD02;"};

constexpr int quitKey = 81;

void setUpStation(FrontPanel& panel, uint8_t setup) {
  panel.comPort = 1;
  panel.powerWatts = 100;
  panel.bandCoverage = (setup & 1) != 0 ? "7" : "5";
  panel.swrAnnounce = static_cast<SwrAnnounce>((setup >> 1) & 1);
  panel.tuneCarrier = (setup >> 2) & 1;
  panel.powerControl = (setup >> 3) & 1;
  panel.versionText = "1.9";
  panel.waveDir = "wave\\";
  panel.openingSequence();
  panel.running = 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  enterScratchFolder();
  deleteFile("memory.dat");
  ScriptedPlatform platform;
  FrontPanel panel(platform);
  setUpStation(panel, data[0]);

  int lastKey = 0;
  auto deliver = [&panel, &lastKey](int code, int param) {
    if (code == event::keyDown) lastKey = param;
    panel.handleEvent(code, param);
  };
  // Two bytes an event: its kind, and the key, the reply or the raw bytes.
  for (size_t at = 1; at + 1 < size && panel.running == 1; at += 2) {
    uint8_t kind = data[at] % 8;
    uint8_t value = data[at + 1];
    if (kind <= 2) {
      deliver(event::keyDown, keys[value % keys.size()]);
    } else if (kind == 3) {
      deliver(event::keyDown, value);  // any code at all, named by the map or not
    } else if (kind == 4) {
      deliver(event::keyUp, keys[value % keys.size()]);
    } else if (kind == 5) {
      deliver(event::timerTick, 1);
    } else if (kind == 6) {
      platform.queueReply(replies[value % replies.size()]);
    } else {
      // The next bytes of the input arrive as they are, a garbled reply.
      size_t count = std::min<size_t>(value % 16, size - at - 2);
      platform.queueReply(std::string(reinterpret_cast<const char*>(data + at + 2), count));
      at += count;
    }
    checkRadioState(panel);
  }
  checkPortCommands(platform);
  checkStoredTables(panel);
  checkTexts(panel);
  if (panel.running == 0 && lastKey == quitKey) checkSavedMemories(panel);
  return 0;
}
