#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"

namespace {

using CommandSenderTest = FrontPanelTest;

TEST_F(CommandSenderTest, FramesEachCommandWithOneSemicolonInOneWrite) {
  panel.commandText = "FA014200000";
  panel.sendCommand();
  panel.commandText = "FA";
  panel.sendCommand();
  EXPECT_EQ(platform.portBytes, "FA014200000;FA;");
  EXPECT_EQ(panel.commandText, "FA;");
}

TEST_F(CommandSenderTest, ClosedPortLosesTheCommandButStillLogsIt) {
  TemporaryDirectory folder;
  panel.debugFlag = 1;
  panel.versionText = "1.9";
  panel.openTrafficLog();
  platform.closeSerial(1);
  panel.commandText = "PS0";
  panel.sendCommand();
  panel.debugFile.close();
  EXPECT_EQ(platform.portBytes, "");
  EXPECT_EQ(readFileBytes("debug.dat"), "QUELMO 1.9  06-12-2026   05:53:55\r\nTX=PS0;\r\n");
}

TEST_F(CommandSenderTest, NoLogFileWhenLoggingIsOff) {
  TemporaryDirectory folder;
  panel.commandText = "FA";
  panel.sendCommand();
  EXPECT_FALSE(std::filesystem::exists("debug.dat"));
}

TEST_F(CommandSenderTest, KeyLinesNameEnterPointAndOtherKeysByTheirCode) {
  TemporaryDirectory folder;
  panel.debugFlag = 1;
  panel.debugFile.open("debug.dat", "W");
  for (int code : {int{key::enter}, int{key::point}, int{'A'}, int{key::f1}, int{key::shift}}) {
    panel.keyCode = code;
    panel.logKey();
  }
  panel.debugFile.close();
  EXPECT_EQ(readFileBytes("debug.dat"), "C/R\r\n.\r\nA\r\np\r\n\x10\r\n");
}

}  // namespace
