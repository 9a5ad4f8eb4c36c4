#include "app/lifecycle.h"

#include <cstdio>

#include "state/band_table.h"
#include "state/window_layout.h"
#include "state/words.h"

namespace {

constexpr int windowLeft = 350;
constexpr int windowTop = 100;
constexpr int windowWidth = 950;
constexpr int windowHeight = 500;
constexpr const char* windowTitle = "*** Quelmo Front Panel v1.9 ***";
constexpr int pollTimer = 1;
constexpr int pollIntervalMs = 50;

void setFixedTexts(FrontPanel& panel) {
  panel.versionText = "1.9";
  panel.bannerText = "*** Quelmo V " + panel.versionText + " ***";
  panel.scratchText = "Keyboard front panel for FT-series transceivers";
  panel.waveDir = "wave\\";
}

// The handler runs inside waitEvents, one event at a time. The readings the
// window shows in large text, the mode, the frequency and the S-meter, are
// carried in its title too, which a screen reader reads and a braille
// display shows.
bool openMainWindow(FrontPanel& panel) {
  Platform& platform = panel.platform;
  bool opened =
      platform.openWindow(windowLeft, windowTop, windowWidth, windowHeight, windowTitle,
                          [&panel](int code, int param) { panel.handleEvent(code, param); });
  if (!opened) return false;
  platform.showInTitle(modeX, modeY);
  platform.showInTitle(layout::frequencyX, layout::frequencyY);
  platform.showInTitle(layout::sMeterX, layout::sMeterY);
  return true;
}

// The program's name and its version, one point nine.
void greet(FrontPanel& panel) {
  panel.speakWord(word::quelmo);
  panel.speakWord(word::digit(1));
  panel.speakWord(word::point);
  panel.speakWord(word::digit(9));
}

// The radio and the memories were seen to by the handler when it ended the
// loop; the window goes last.
void shutDown(FrontPanel& panel) {
  panel.endProgram(false);
  panel.platform.stopTimer(pollTimer);
  panel.platform.closeWindow();
}

}  // namespace

int runQuelmo(FrontPanel& panel) {
  setFixedTexts(panel);
  panel.checkVoiceFolder();
  // Without its window no key, tick or close request could ever reach the
  // program, so it ends before it touches the radio.
  if (!openMainWindow(panel)) {
    std::fputs("quelmo: the window cannot be opened\n", stderr);
    return 0;
  }
  greet(panel);
  // One program per working folder: a second one would disturb the first
  // one's radio and save its own stale memories over the first one's.
  if (!panel.platform.holdWorkingFolder()) {
    panel.speakWord(word::running);
    std::fputs(
        "quelmo: another quelmo is running in this folder; this one ends and leaves the "
        "radio and memory.dat to it\n",
        stderr);
    return 1;
  }
  // Without its settings the program has said why and ends, as a failure.
  if (!panel.readConfiguration()) {
    panel.writeProblemFile();
    return 1;
  }
  panel.openingSequence();
  panel.writeProblemFile();
  panel.platform.startTimer(pollIntervalMs, pollTimer);
  panel.running = 1;
  // running is looked at only between two calls, so the events already
  // waiting when the handler clears it are still handled.
  while (panel.running != 0) panel.platform.waitEvents();
  shutDown(panel);
  panel.debugFile.close();
  return 0;
}
