// A FrontPanel on the scripted platform, with its port open and speech from
// the "wave\" folder, as after start-up, in an empty working folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/front_panel.h"
#include "platform/scripted_platform.h"

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
  std::vector<std::string> words() const { return platform.words(); }

  // A channel stored is saved at once: whatever a test stores is saved in
  // a folder of its own.
  TemporaryDirectory workingFolder_;
  ScriptedPlatform platform;
  FrontPanel panel{platform};
};

// Writes a file byte for byte; reads one back whole.
void writeFileBytes(const std::filesystem::path& file, const std::string& bytes);
std::string readFileBytes(const std::filesystem::path& file);
