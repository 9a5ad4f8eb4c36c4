#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "state/band_table.h"

namespace {

using Commands = std::vector<std::string>;
using Words = std::vector<std::string>;

// A first run: configuration read, no "memory.dat" yet.
class OpeningSequenceTest : public FrontPanelTest {
 protected:
  OpeningSequenceTest() {
    platform.closeSerial(1);
    platform.clearRecords();
    panel.comPort = 1;
    panel.baudRate = 38400;
    panel.powerWatts = 100;
    panel.versionText = "1.9";
    panel.bannerText = "*** Quelmo V 1.9 ***";
    panel.scratchText = "by the maintainers";
  }

  TemporaryDirectory folder;
};

const Commands radioSetUp = {"PA00;",   "RA00;", "NB00;",  "NR00;",       "PC100;",
                             "AG0050;", "BC00;", "SH014;", "FA007100000;"};

// "TX0" first: a radio left transmitting by an earlier run stops before
// its power or mode is set. Its identity is asked (and waited for briefly)
// before anything is set, so that it is set in its own model's forms. The
// mode goes without a frequency: the radio's own is not known yet (no
// "FA000000000", which a radio refuses).
TEST_F(OpeningSequenceTest, FirstRunSwitchesTheRadioOnAndSetsItUp) {
  panel.powerControl = 1;
  panel.openingSequence();
  Commands expected = {"TX0;", "Power on;", "PS1;", "ID;", "MD01;"};
  expected.insert(expected.end(), radioSetUp.begin(), radioSetUp.end());
  EXPECT_EQ(commands(), expected);
  EXPECT_EQ(words(), (Words{"delay", "delay"}));
  for (const SoundRequest& pause : platform.sounds) EXPECT_TRUE(pause.pause) << "mute, no wait";
  EXPECT_TRUE(platform.isPortOpen(1));
  EXPECT_EQ(platform.calls,
            (std::vector<std::string>{"closeSerial 1", "openSerial 1 38400",
                                      "setSerialReadMode 1 -1", "setSerialFormat 1 8 0 2",
                                      "setSerialReadMode 1 300", "setSerialReadMode 1 -1"}));
}

// A radio that names its model is set up in that model's forms, each on
// its own width step of 2.4 kHz: the FT-950 in eight digits, its 2.4 kHz
// at step 13; the FT-450, which has no notch command, without one.
TEST_F(OpeningSequenceTest, TheRadioIsSetUpInItsOwnModelsForms) {
  struct Case {
    const char* identity;
    Commands setUp;
  };
  const Case cases[] = {
      {"ID0310;",
       {"TX0;", "ID;", "MD01;", "PA00;", "RA00;", "NB00;", "NR00;", "PC100;", "AG0050;", "BC00;",
        "SH013;", "FA07100000;"}},
      {"ID0241;",
       {"TX0;", "ID;", "MD01;", "PA00;", "RA00;", "NB00;", "NR00;", "PC100;", "AG0050;", "SH016;",
        "FA07100000;"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.identity);
    ScriptedPlatform station;
    FrontPanel fresh(station);
    fresh.comPort = 1;
    fresh.baudRate = 38400;
    fresh.powerWatts = 100;
    fresh.versionText = "1.9";
    station.queueReply(c.identity);
    fresh.openingSequence();
    EXPECT_EQ(station.commands(), c.setUp);
    EXPECT_EQ(fresh.radioIdentified, 1);
    EXPECT_TRUE(station.words().empty());
  }
}

// An identity of no model of the table: said once, and the FT-991A's forms
// are kept.
TEST_F(OpeningSequenceTest, AnUnknownIdentityIsSaidAndTheWrittenFormsKept) {
  platform.queueReply("ID0840;");
  panel.openingSequence();
  EXPECT_EQ(words(), Words{"unknownmodel"});
  EXPECT_EQ(commands().back(), "FA007100000;");
  ASSERT_EQ(panel.startProblems.size(), 1u);
  EXPECT_NE(panel.startProblems[0].find("ID0840;"), std::string::npos);
  EXPECT_NE(panel.startProblems[0].find("FT-991A"), std::string::npos);
}

TEST_F(OpeningSequenceTest, WithoutPowerControlTheModeFollowsTransmitOffAndNothingIsSaid) {
  panel.openingSequence();
  Commands expected = {"TX0;", "ID;", "MD01;"};
  expected.insert(expected.end(), radioSetUp.begin(), radioSetUp.end());
  EXPECT_EQ(commands(), expected);
  EXPECT_TRUE(words().empty());
}

TEST_F(OpeningSequenceTest, InitialStateAndAFreshMemoryFile) {
  panel.memoryChannel[3] = "2014200000";
  panel.connectedSpoken = 1;
  panel.tuneActive = 1;
  panel.openingSequence();
  EXPECT_EQ(panel.entryValue, noEntry);
  EXPECT_EQ(panel.bandIndex, 4);
  EXPECT_EQ(panel.modeIndex, 1);
  EXPECT_EQ(panel.filterWidth, 14);
  EXPECT_EQ(panel.rfGain, 250);
  EXPECT_EQ(panel.afGain, 50);
  EXPECT_EQ(panel.connectedSpoken, 0);
  EXPECT_EQ(panel.tuneActive, 0);
  EXPECT_EQ(panel.memoryChannel[3], "9");
  EXPECT_EQ(panel.bandHz[13], 432000000);
  std::string saved = readFileBytes("memory.dat");
  EXPECT_EQ(saved.rfind("V1.9\r\n1001900000\r\n", 0), 0u);
}

TEST_F(OpeningSequenceTest, FixedTextsInTheInitialFontThenTheBigFont) {
  panel.openingSequence();
  ASSERT_EQ(platform.printed.size(), 4u);
  const auto& banner = platform.printed[0];
  EXPECT_EQ(banner.text, "*** Quelmo V 1.9 ***  by the maintainers");
  EXPECT_EQ(banner.x, 280);
  EXPECT_EQ(banner.y, 10);
  EXPECT_EQ(platform.printed[1].text,
            "b=Band  f=Freq  e=Entry m=Mode  w=Filter width p=Power a=af gain r=RF gain q=Quit  "
            "s=SMeter/swr");
  EXPECT_EQ(platform.printed[1].x, 140);
  EXPECT_EQ(platform.printed[1].y, 380);
  EXPECT_EQ(platform.printed[2].text,
            "F1=Preamp F2=Attenuator F3=Noise Blanker F4=Noise Reduction  h=Help (all keys spoken)");
  EXPECT_EQ(platform.printed[2].x, 140);
  EXPECT_EQ(platform.printed[2].y, 405);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(platform.printed[i].face, "") << i;

  const auto& mode = platform.printed[3];
  EXPECT_EQ(mode.text, "LSB ");
  EXPECT_EQ(mode.x, 50);
  EXPECT_EQ(mode.y, 45);
  EXPECT_EQ(mode.face, "Ariel");
  EXPECT_EQ(mode.points, 50);
  EXPECT_EQ(mode.weight, 700);
}

TEST_F(OpeningSequenceTest, TrafficLogHasItsHeaderAndEveryCommand) {
  panel.debugFlag = 1;
  panel.powerControl = 1;
  panel.openingSequence();
  panel.debugFile.close();
  std::string expected = "QUELMO 1.9  06-12-2026   05:53:55\r\n";
  for (const auto& command : commands()) expected += "TX=" + command + "\r\n";
  EXPECT_EQ(readFileBytes("debug.dat"), expected);
  EXPECT_EQ(commands().size(), 14u);
}

TEST_F(OpeningSequenceTest, NoLogWhenLoggingIsOff) {
  panel.openingSequence();
  EXPECT_FALSE(std::filesystem::exists("debug.dat"));
}

TEST_F(OpeningSequenceTest, SavedFortyMetreBandSetsTheStartingModeAndFrequency) {
  std::string file = "V1.9\r\n";
  const char* bands[] = {"1001900000", "1003600000", "2005400000", "3007050000", "3010100000",
                         "2014200000", "2018100000", "2021200000", "2024890000", "2028500000",
                         "2050150000", "5145000000", "5432000000"};
  for (const char* band : bands) file += std::string(band) + "\r\n";
  for (int i = 0; i < 10; ++i) file += "9\r\n";
  writeFileBytes("memory.dat", file);

  panel.openingSequence();
  Commands sent = commands();
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(sent[2], "MD03;");
  EXPECT_EQ(sent.back(), "FA007050000;");
  EXPECT_EQ(panel.modeIndex, 3);
  EXPECT_EQ(platform.printed.back().text, "CW    ");
}

TEST_F(OpeningSequenceTest, PortThatDoesNotOpenLosesTheCommandsQuietly) {
  platform.portAvailable = false;
  panel.openingSequence();
  EXPECT_TRUE(platform.portBytes.empty());
  EXPECT_TRUE(words().empty());
  EXPECT_EQ(panel.bandIndex, 4);
}

}  // namespace
