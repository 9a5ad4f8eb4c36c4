// The program's life on the scripted platform: start-up, the main loop and
// the order of the shutdown.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/lifecycle.h"
#include "platform/scripted_platform.h"
#include "tests/unit/front_panel_fixture.h"

namespace {

// Also records each write to the port among the other calls, so the order
// of the window's closing, "PS0" and the port's closing shows.
class OrderRecordingPlatform : public ScriptedPlatform {
 public:
  int writeSerial(int port, const char* text, int length) override {
    int written = ScriptedPlatform::writeSerial(port, text, length);
    if (written > 0) calls.push_back("write " + std::string(text, length));
    return written;
  }
};

// The station file by the reader's positional rules: port 1, 38400 baud,
// 100 W, SWR spoken, the radio's tuner, bands up to 70 cm.
std::string stationFile(int powerControl, int log) {
  return "COM=1\r\nBAUD= 38400\r\nPWR = 100\r\nSWR=1\r\nTUN=0\r\nBANDS  =7\r\nPWRCTL=" +
         std::to_string(powerControl) + "\r\nDEBUG=" + std::to_string(log) + "\r\n";
}

std::vector<std::string> from(const std::vector<std::string>& calls, const std::string& first) {
  auto start = std::find(calls.begin(), calls.end(), first);
  return {start, calls.end()};
}

class LifecycleTest : public ::testing::Test {
 protected:
  TemporaryDirectory folder;
  OrderRecordingPlatform platform;
  FrontPanel panel{platform};
};

TEST_F(LifecycleTest, WithoutConfigurationGreetsSaysSoAndEndsWithoutThePort) {
  EXPECT_EQ(runQuelmo(panel), 0);
  EXPECT_EQ(platform.words(),
            (std::vector<std::string>{"quelmo.wav", "1.wav", "point", "9", "cfgnf"}));
  EXPECT_EQ(platform.calls,
            (std::vector<std::string>{"openWindow 350 100 950 500 *** Quelmo Front Panel v1.9 ***"}));
  EXPECT_TRUE(platform.portBytes.empty());
  EXPECT_FALSE(std::filesystem::exists("debug.dat"));
}

TEST_F(LifecycleTest, CloseRequestShutsDownInOrderAndSwitchesTheRadioOffLast) {
  writeFileBytes("quelmo.cfg", stationFile(1, 1));
  platform.postEvent(event::closeRequest, 0);
  EXPECT_EQ(runQuelmo(panel), 0);

  EXPECT_EQ(panel.bannerText, "*** Quelmo V 1.9 ***");
  EXPECT_EQ(from(platform.calls, "startTimer 50 1"),
            (std::vector<std::string>{"startTimer 50 1", "stopTimer 1", "closeWindow",
                                      "write PS0;", "closeSerial 1"}));
  EXPECT_FALSE(platform.isPortOpen(1));
  EXPECT_FALSE(panel.debugFile.isOpen());
  std::string log = readFileBytes("debug.dat");
  EXPECT_TRUE(log.ends_with("TX=PS0;\r\n")) << log;
}

TEST_F(LifecycleTest, WithoutPowerControlTheRadioIsLeftOn) {
  writeFileBytes("quelmo.cfg", stationFile(0, 0));
  platform.postEvent(event::closeRequest, 0);
  EXPECT_EQ(runQuelmo(panel), 0);
  EXPECT_EQ(from(platform.calls, "stopTimer 1"),
            (std::vector<std::string>{"stopTimer 1", "closeWindow", "closeSerial 1"}));
  EXPECT_FALSE(std::filesystem::exists("debug.dat"));
}

TEST_F(LifecycleTest, EventsAlreadyWaitingWhenTheLoopIsToldToEndAreStillHandled) {
  writeFileBytes("quelmo.cfg", stationFile(0, 0));
  platform.postEvent(event::closeRequest, 0);
  platform.postEvent(event::keyDown, 'H');
  runQuelmo(panel);
  EXPECT_EQ(platform.words().back(), "help.wav");
  EXPECT_EQ(platform.calls.back(), "closeSerial 1");
}

}  // namespace
