#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"

namespace {

using TrafficLogTest = FrontPanelTest;

TEST_F(TrafficLogTest, FramesEachCommandWithOneSemicolonInOneWrite) {
  panel.radio->setFrequency(14'200'000);
  panel.radio->ask(Question::frequency);
  EXPECT_EQ(platform.portBytes, "FA014200000;FA;");
  EXPECT_EQ(commands(), (std::vector<std::string>{"FA014200000;", "FA;"}));
}

TEST_F(TrafficLogTest, ClosedPortLosesTheCommandButStillLogsIt) {
  TemporaryDirectory folder;
  panel.debugFlag = 1;
  panel.versionText = "1.9";
  panel.openTrafficLog();
  platform.closeSerial(1);
  panel.radio->switchPower(false);
  panel.debugFile.close();
  EXPECT_EQ(platform.portBytes, "");
  EXPECT_EQ(readFileBytes("debug.dat"), "QUELMO 1.9  06-12-2026   05:53:55\r\nTX=PS0;\r\n");
}

TEST_F(TrafficLogTest, NoLogFileWhenLoggingIsOff) {
  TemporaryDirectory folder;
  panel.radio->ask(Question::frequency);
  EXPECT_FALSE(std::filesystem::exists("debug.dat"));
}

TEST_F(TrafficLogTest, KeyLinesNameEnterPointAndOtherKeysByTheirCode) {
  TemporaryDirectory folder;
  panel.debugFlag = 1;
  panel.debugFile.open("debug.dat", "W");
  for (int code : {int{key::enter}, int{key::point}, int{'A'}, int{key::f1}, int{key::shift}}) {
    panel.logKey(code);
  }
  panel.debugFile.close();
  EXPECT_EQ(readFileBytes("debug.dat"), "C/R\r\n.\r\nA\r\np\r\n\x10\r\n");
}

}  // namespace
