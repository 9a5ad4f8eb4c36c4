#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "state/band_table.h"

namespace {

using Strings = std::vector<std::string>;

using BandModeTest = AfterOpeningTest;

TEST_F(BandModeTest, TrackingFollowsTheBandBordersBothExcluded) {
  struct Case {
    int hz;
    int band;
  };
  const Case cases[] = {
      {1'799'999, 99},    {1'800'000, 1},     {2'099'999, 1},      {2'100'000, 99},
      {18'050'000, 99},   {18'100'000, 7},    {18'199'999, 7},     {18'200'000, 99},
      {50'050'000, 99},   {50'100'000, 11},   {52'999'999, 11},    {53'000'000, 99},
      {30'099'999, 10},   {30'100'000, 99},   {148'099'999, 12},   {148'100'000, 99},
      {430'000'000, 13},  {439'999'999, 13},  {440'000'000, 99},   {0, 99},
  };
  panel.lastReplyMode = 1;
  for (const Case& c : cases) {
    radioReported(c.hz);
    panel.trackBand();
    EXPECT_EQ(panel.bandIndex, c.band) << c.hz;
  }
}

TEST_F(BandModeTest, TrackingStoresTheReplyAndModeOfTheBandOnlyInsideABand) {
  panel.lastReplyMode = 3;
  radioReported(14200000);
  panel.trackBand();
  EXPECT_EQ(panel.bandHz[6], 14200000);
  EXPECT_EQ(panel.bandMode[6], "3");

  std::array<int, 14> before = panel.bandHz;
  std::array<Text, 14> modesBefore = panel.bandMode;
  radioReported(18050000);
  panel.trackBand();
  EXPECT_EQ(panel.bandIndex, 99);
  EXPECT_EQ(panel.bandHz, before);
  EXPECT_EQ(panel.bandMode, modesBefore);
}

TEST_F(BandModeTest, SelectBandSendsModeRoundedFrequencyBandFrequencyThenPreamp) {
  panel.frequencyHz = 14'200'350;
  panel.modeIndex = 2;
  panel.bandIndex = 4;
  panel.selectBand();
  EXPECT_EQ(commands(), (Strings{"MD01;", "FA014200000;", "FA007100000;", "PA00;"}));
  EXPECT_EQ(words(), (Strings{"40", "metres", "preamp", "off"}));
  ASSERT_EQ(platform.printed.size(), 1u);
  EXPECT_EQ(platform.printed[0].text, "LSB ");
  EXPECT_EQ(platform.printed[0].x, 50);
  EXPECT_EQ(platform.printed[0].y, 45);
  EXPECT_EQ(panel.modeIndex, 1);
  EXPECT_EQ(panel.preampOn, 0);
}

TEST_F(BandModeTest, SelectBandTurnsThePreampOnFromTwentyMetresUp) {
  panel.frequencyHz = 7'100'000;
  panel.preampOn = 1;
  panel.attenuatorOn = 1;
  panel.bandIndex = 6;
  panel.selectBand();
  EXPECT_EQ(commands().back(), "PA01;");
  EXPECT_EQ(words(), (Strings{"20", "metres", "preamp", "on"}));
  EXPECT_EQ(panel.preampOn, 1);
  EXPECT_EQ(panel.attenuatorOn, 1);
}

TEST_F(BandModeTest, SelectBandWrapsOnlyAtTheEndsOfTheCoveredBands) {
  struct Case {
    const char* coverage;
    int bands;
  };
  for (Case c : {Case{"1", 10}, Case{"6", 11}, Case{"2", 12}, Case{"7", 13}}) {
    panel.bandCoverage = c.coverage;
    panel.bandIndex = 0;
    panel.selectBand();
    EXPECT_EQ(panel.bandIndex, c.bands) << c.coverage;
    panel.bandIndex = c.bands + 1;
    panel.selectBand();
    EXPECT_EQ(panel.bandIndex, 1) << c.coverage;
  }
  panel.bandCoverage = "1";
  panel.bandIndex = 13;  // reached by tracking, beyond the radio's coverage
  panel.selectBand();
  EXPECT_EQ(panel.bandIndex, 13);
}

// A coverage code the table does not know counts as "7"; a step up past
// 70 cm, reached by the radio's knob on a radio said to end lower, comes
// round at 160 m.
TEST_F(BandModeTest, BandAfterAStepIsAlwaysOneOfTheTable) {
  struct Case {
    const char* coverage;
    int from;
    int to;
  };
  const Case cases[] = {{"x", 0, 13}, {"x", 14, 1}, {"", 0, 13}, {"1", 14, 1}, {"6", 14, 1}};
  panel.frequencyHz = 7'100'000;
  for (const Case& c : cases) {
    platform.clearRecords();
    panel.bandCoverage = c.coverage;
    panel.bandIndex = c.from;
    panel.selectBand();
    EXPECT_EQ(panel.bandIndex, c.to) << c.coverage << " " << c.from;
    EXPECT_EQ(commands()[2], "FA" + zeroPadded(bandTable[c.to].initialHz, 9) + ";");
  }
}

TEST_F(BandModeTest, ModeOutsideTheTableSendsAndPrintsNothing) {
  panel.frequencyHz = 7'100'000;
  for (int mode : {0, 6, -1}) {
    panel.modeIndex = mode;
    panel.selectMode();
  }
  EXPECT_TRUE(commands().empty());
  EXPECT_TRUE(platform.printed.empty());
}

TEST_F(BandModeTest, NextModeOffersFmOnlyFromTenMetresUp) {
  struct Case {
    int mode;
    int band;
    int next;
    const char* command;
    const char* word;
  };
  const Case cases[] = {
      {4, 9, 1, "MD01;", "lsb"},  {4, 10, 5, "MD0B;", "fm"}, {5, 12, 1, "MD01;", "lsb"},
      {4, 99, 1, "MD01;", "lsb"}, {1, 6, 2, "MD02;", "usb"}, {3, 4, 4, "MD05;", "am"},
  };
  for (const Case& c : cases) {
    platform.clearRecords();
    panel.frequencyHz = 28'500'000;
    panel.modeIndex = c.mode;
    panel.bandIndex = c.band;
    panel.nextMode();
    EXPECT_EQ(panel.modeIndex, c.next);
    EXPECT_EQ(commands(), (Strings{"FA;", c.command, "FA028500000;"}));
    EXPECT_EQ(words(), (Strings{c.word}));
  }
}

TEST_F(BandModeTest, SnapRoundsUpInUsbAndDownInEveryOtherMode) {
  struct Case {
    int hz;
    int mode;
    int snapped;
  };
  const Case cases[] = {
      {14'200'350, 1, 14'200'000}, {14'200'350, 2, 14'201'000}, {14'200'000, 2, 14'200'000},
      {14'200'999, 3, 14'200'000}, {999'999'500, 2, 999'999'000}, {0, 1, 0},
  };
  for (const Case& c : cases) {
    platform.clearRecords();
    panel.frequencyHz = c.hz;
    panel.modeIndex = c.mode;
    panel.snapToKilohertz();
    EXPECT_EQ(panel.frequencyHz, c.snapped) << c.hz;
    EXPECT_EQ(commands(), (Strings{"FA" + zeroPadded(c.snapped, 9) + ";"}));
  }
}

TEST_F(BandModeTest, TypedMegahertzGivesTheBandOfTheEntryColumn) {
  struct Case {
    int mhz;
    int band;
  };
  const Case cases[] = {{1, 1},    {3, 2},    {4, 99},   {7, 4},    {18, 7},   {27, 99},
                        {28, 10},  {29, 10},  {30, 99},  {50, 11},  {54, 11},  {55, 99},
                        {144, 12}, {148, 12}, {149, 99}, {430, 13}, {439, 13}, {440, 99}};
  for (const Case& c : cases) {
    panel.entryValue = c.mhz;
    panel.bandForEntry();
    EXPECT_EQ(panel.bandIndex, c.band) << c.mhz;
  }
}

TEST_F(BandModeTest, BandModeIsSavedAndRestoredOnlyInsideABand) {
  panel.bandIndex = 6;
  panel.modeIndex = 3;
  panel.saveBandMode();
  EXPECT_EQ(panel.bandMode[6], "3");
  panel.bandIndex = 8;
  panel.restoreBandMode();
  EXPECT_EQ(panel.modeIndex, 2);
  panel.bandIndex = 99;
  panel.modeIndex = 4;
  panel.saveBandMode();
  panel.restoreBandMode();
  EXPECT_EQ(panel.modeIndex, 4);
}

TEST_F(BandModeTest, DigitZeroSelectsTenMetresAfterSavingTheCurrentBand) {
  panel.frequencyHz = 14'250'000;
  radioReported(14250000);
  panel.lastReplyMode = 3;
  panel.modeIndex = 3;
  panel.selectBandByDigit(0);
  EXPECT_EQ(panel.bandHz[6], 14250000);
  EXPECT_EQ(panel.bandMode[6], "3");
  EXPECT_EQ(panel.bandIndex, 10);
  EXPECT_EQ(commands(), (Strings{"FA;", "MD02;", "FA014250000;", "FA028500000;", "PA01;"}));
}

}  // namespace
