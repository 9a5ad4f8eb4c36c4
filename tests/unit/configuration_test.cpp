#include <memory>
#include <string>
#include <vector>

#include "front_panel_fixture.h"

namespace {

class ConfigurationTest : public FrontPanelTest {
 protected:
  // Writes "quelmo.cfg" from its lines, each ended by CR LF.
  static void writeConfiguration(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += line + "\r\n";
    writeFileBytes("quelmo.cfg", bytes);
  }

  // A freshly started program that has read the configuration.
  std::unique_ptr<FrontPanel> readFresh(const std::vector<std::string>& lines) {
    writeConfiguration(lines);
    auto fresh = std::make_unique<FrontPanel>(platform);
    EXPECT_TRUE(fresh->readConfiguration());
    return fresh;
  }

  TemporaryDirectory folder;
};

const std::vector<std::string> fullFile = {
    "COM=12", "BAUD= 38400", "POWER=50", "SWR=1", "TUN=1", "BANDS=  7", "POWSW= 1", "DEBUG=1"};

TEST_F(ConfigurationTest, EveryLineFillsItsSetting) {
  writeConfiguration(fullFile);
  EXPECT_TRUE(panel.readConfiguration());
  EXPECT_EQ(panel.comPort, 12);
  EXPECT_EQ(panel.baudRate, 38400);
  EXPECT_EQ(panel.powerWatts, 50);
  EXPECT_EQ(panel.swrAnnounce, SwrAnnounce::fullOnce);
  EXPECT_EQ(panel.tuneCarrier, 1);
  EXPECT_EQ(panel.bandCoverage, "7");
  EXPECT_EQ(panel.powerControl, 1);
  EXPECT_EQ(panel.debugFlag, 1);
  EXPECT_FALSE(panel.configFile.isOpen());
  EXPECT_TRUE(words().empty());
  EXPECT_TRUE(platform.portBytes.empty());
}

// The port is the number line 1 ends with, one or two digits, whatever the
// line's length: "COM12" as Device Manager lists the port is port 12.
TEST_F(ConfigurationTest, PortIsTheOneOrTwoDigitsTheLineEndsWith) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"COM12", 12}, {"port12", 12}, {"COM=12", 12}, {"port1", 1},    {"COM=3", 3},
      {"COM==3", 3}, {"COM 7", 7},   {"COM05", 5},   {"3", 3},        {"COM=12 ", 0},
      {"COM12x", 0}, {"", 0},        {"COM123", 23}, {"PORT=256", 56}};
  for (const auto& [line, port] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(readFresh({line, "BAUD= 4800"})->comPort, port);
  }
}

TEST_F(ConfigurationTest, SpeedIsEverythingFromPositionSeven) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"BAUD= 4800", 4800}, {"BAUDRATE=9600", 0}, {"SPEED:115200", 115200},
      {"BAUD=", 0},         {"BAUD= 9600.9", 9600}, {"BAUD= -1", -1}};
  for (const auto& [line, speed] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(readFresh({"COM=3", line})->baudRate, speed);
  }
}

TEST_F(ConfigurationTest, PowerByLineLengthWithAFloorOfFiveWatts) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"POWER=2", 5},    {"POWER=7", 7},     {"POWER=0", 5},   {"PWR=100", 5},
      {"POWER=50", 50},  {"POWER=05", 5},    {"POWER=-9", 5},  {"POWER=X5", 5},
      {"POWER=100", 100}, {"POWER=.50", 100}, {"POWERX=50", 100},
      {"POWER=1000", 5}, {"", 5},            {"P=10", 5}};
  for (const auto& [line, watts] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(readFresh({"COM=3", "BAUD= 4800", line})->powerWatts, watts);
  }
}

TEST_F(ConfigurationTest, OptionsAreSingleCharactersAtTheirPositions) {
  auto lines = fullFile;
  lines[3] = "SWR=2ignored";
  lines[4] = "TUNE0";
  lines[5] = "BANDS=  6 and more";
  lines[6] = "POWER: 1";
  lines[7] = "DEBUG 0";
  auto read = readFresh(lines);
  EXPECT_EQ(read->swrAnnounce, SwrAnnounce::shortForm);
  EXPECT_EQ(read->tuneCarrier, 0);
  EXPECT_EQ(read->bandCoverage, "6");
  EXPECT_EQ(read->powerControl, 1);
  EXPECT_EQ(read->debugFlag, 0);

  // Lines too short for their position give 0 and an empty band coverage.
  auto shortLines = readFresh({"COM=3", "BAUD= 4800", "POWER=50", "SWR", "TUN", "BANDS=7",
                                     "POWSW=", "DEBUG"});
  EXPECT_EQ(shortLines->swrAnnounce, SwrAnnounce::whenAsked);
  EXPECT_EQ(shortLines->tuneCarrier, 0);
  EXPECT_EQ(shortLines->bandCoverage, "");
  EXPECT_EQ(shortLines->powerControl, 0);
  EXPECT_EQ(shortLines->debugFlag, 0);
}

TEST_F(ConfigurationTest, FileEndingAfterTheSpeedGivesSafeDefaults) {
  writeFileBytes("quelmo.cfg", "COM=3\nBAUD= 4800");  // no terminator on the last line
  EXPECT_TRUE(panel.readConfiguration());
  EXPECT_EQ(panel.comPort, 3);
  EXPECT_EQ(panel.baudRate, 4800);
  EXPECT_EQ(panel.powerWatts, 5);
  EXPECT_EQ(panel.swrAnnounce, SwrAnnounce::whenAsked);
  EXPECT_EQ(panel.tuneCarrier, 0);
  EXPECT_EQ(panel.bandCoverage, "");
  EXPECT_EQ(panel.powerControl, 0);
  EXPECT_EQ(panel.debugFlag, 0);
}

TEST_F(ConfigurationTest, OverlongLinesAreCutAndTheFollowingLinesStillCount) {
  std::string speedLine = "BAUD= 9600" + std::string(400, '0');
  auto read = readFresh({"port4", speedLine, "POWER=" + std::string(300, '7'), "SWR=1"});
  EXPECT_EQ(read->comPort, 4);
  EXPECT_GT(read->baudRate, 9600);  // a huge number, clamped, not a crash
  EXPECT_EQ(read->powerWatts, 5);
  EXPECT_EQ(read->swrAnnounce, SwrAnnounce::fullOnce);
}

// A port line that names no port is reported as such, with the length it
// really has; one longer than a text holds names none, whatever it ends in.
TEST_F(ConfigurationTest, PortLineThatNamesNoPortIsReportedWithItsLength) {
  const std::pair<std::string, const char*> lines[] = {
      {std::string(253, 'x') + "4" + std::string(99746, '9'), "100000"},
      {std::string("port\0\0", 6), "6"},
      {"\x01\xfe\x80portx", "8"},
      {"", "0"},
  };
  for (const auto& [line, length] : lines) {
    SCOPED_TRACE(length);
    testing::internal::CaptureStderr();
    auto read = readFresh({line, "SPEED=38400"});
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("quelmo: quelmo.cfg line 1 (") + length + " characters) names no port\n");
    EXPECT_EQ(read->comPort, 0);
    EXPECT_EQ(read->baudRate, 38400);
  }
}

TEST_F(ConfigurationTest, BinaryJunkGivesZerosWithoutHarm) {
  std::string junk;
  for (int i = 0; i < 2000; ++i) {
    char c = static_cast<char>((i * 37 + 11) % 256);
    if (c >= '0' && c <= '9') c = '\0';
    junk += c;
  }
  writeFileBytes("quelmo.cfg", junk);
  EXPECT_TRUE(panel.readConfiguration());
  EXPECT_EQ(panel.comPort, 0);
  EXPECT_EQ(panel.baudRate, 0);
  EXPECT_EQ(panel.powerWatts, 5);
  EXPECT_EQ(panel.swrAnnounce, SwrAnnounce::whenAsked);
  EXPECT_EQ(panel.tuneCarrier, 0);
  EXPECT_LE(panel.bandCoverage.length(), 1);
  EXPECT_EQ(panel.powerControl, 0);
  EXPECT_EQ(panel.debugFlag, 0);
}

TEST_F(ConfigurationTest, MissingFileSaysSoAndLeavesTheSettingsAlone) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(panel.readConfiguration());
  std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(errors.rfind("quelmo: quelmo.cfg is not in this folder (", 0), 0u) << errors;
  EXPECT_NE(errors.find("): Quelmo cannot run without it\n"), std::string::npos) << errors;
  EXPECT_EQ(words(), (std::vector<std::string>{"cfgnf"}));
  EXPECT_EQ(panel.comPort, 1);  // as the program had it
  EXPECT_EQ(panel.powerWatts, 0);
  EXPECT_FALSE(panel.configFile.isOpen());
  EXPECT_TRUE(platform.portBytes.empty());
}

}  // namespace
