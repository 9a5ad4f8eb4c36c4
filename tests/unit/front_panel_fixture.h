// A FrontPanel on the scripted platform, with its port open and speech from
// the "wave\" folder, as after start-up, in an empty working folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/scripted_platform.h"
#include "sim/transceiver.h"
#include "state/front_panel.h"

// A fresh empty working directory for the length of one test.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

class FrontPanelTest : public ::testing::Test {
 protected:
  FrontPanelTest() {
    panel.comPort = 1;
    panel.waveDir = "wave\\";
    platform.openSerial(1, 38400);
    platform.clearRecords();
  }

  std::vector<std::string> commands() const { return platform.commands(); }
  // The radio's last current report: a frequency reply of hz.
  void radioReported(int hz) { panel.reportedHz = hz; }
  std::vector<std::string> words() const { return platform.words(); }

  // A channel stored is saved at once: whatever a test stores is saved in
  // a folder of its own.
  TemporaryDirectory workingFolder_;
  ScriptedPlatform platform;
  FrontPanel panel{platform};
};

// The panel as the opening sequence leaves it, without the commands: the
// initial values (40 m, LSB, the band memory, empty channels), 100 W, all
// thirteen bands, the radio's identity given (an FT-991A); and the events a
// test plays to it.
class AfterOpeningTest : public FrontPanelTest {
 protected:
  AfterOpeningTest() {
    panel.setInitialValues();
    panel.radioIdentified = 1;
    panel.versionText = "1.9";
    panel.powerWatts = 100;
    panel.bandCoverage = "7";
  }

  void event(int code, int param = 0) { panel.handleEvent(code, param); }
  void keyDown(int code) { event(event::keyDown, code); }
  void keyUp(int code) { event(event::keyUp, code); }
  void press(int code) {
    keyDown(code);
    keyUp(code);
  }
  void tick(int count = 1) {
    for (int i = 0; i < count; ++i) event(event::timerTick);
  }
};

// With a radio on the port: quelmo-sim's FT-991A (7.1 MHz, LSB, switched
// on), answering every command the moment it is written. Its knob
// (transceiver.setFrequency, transceiver.setMode) turns it as the operator's
// hand would, at any moment between two events of a test.
class ScriptedRadioTest : public AfterOpeningTest {
 protected:
  ScriptedRadioTest() {
    platform.radio = [this](const std::string& command) {
      return transceiver.handleCommand(command);
    };
  }

  Transceiver transceiver{1, false};
};

// Writes a file byte for byte; reads one back whole.
void writeFileBytes(const std::filesystem::path& file, const std::string& bytes);
std::string readFileBytes(const std::filesystem::path& file);
