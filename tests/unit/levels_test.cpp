#include <string>
#include <vector>

#include "front_panel_fixture.h"

namespace {

using Strings = std::vector<std::string>;

class LevelsTest : public FrontPanelTest {
 protected:
  void press(void (FrontPanel::*adjust)(), int times) {
    for (int i = 0; i < times; ++i) (panel.*adjust)();
  }
};

TEST_F(LevelsTest, PowerClimbsAndFallsTheLadderAndStopsAtItsEnds) {
  panel.focusControl = Focus::power;
  panel.powerWatts = 5;
  press(&FrontPanel::adjustUp, 12);
  EXPECT_EQ(commands(), (Strings{"PC010;", "PC020;", "PC030;", "PC040;", "PC050;", "PC060;",
                                 "PC070;", "PC080;", "PC090;", "PC100;", "PC100;", "PC100;"}));
  platform.clearRecords();
  panel.powerWatts = 20;
  press(&FrontPanel::adjustDown, 3);
  EXPECT_EQ(commands(), (Strings{"PC010;", "PC005;", "PC005;"}));
  EXPECT_TRUE(words().empty());
}

TEST_F(LevelsTest, PowerOffTheLadderIsSentAsThreeDigitsAndStepsOntoIt) {
  panel.focusControl = Focus::power;
  for (int watts : {25, 7}) {
    panel.powerWatts = watts;
    panel.sendPower();
  }
  panel.powerWatts = 25;
  panel.adjustUp();
  panel.powerWatts = 25;
  panel.adjustDown();
  EXPECT_EQ(commands(), (Strings{"PC025;", "PC007;", "PC030;", "PC020;"}));
}

TEST_F(LevelsTest, RfGainStopsAtItsBoundsAndSaysMaxOnlyGoingUp) {
  panel.focusControl = Focus::rfGain;
  panel.rfGain = 230;
  press(&FrontPanel::adjustUp, 3);
  EXPECT_EQ(commands(), (Strings{"RG0240;", "RG0250;", "RG0250;"}));
  EXPECT_EQ(words(), (Strings{"max", "max"}));
  platform.clearRecords();
  panel.rfGain = 60;
  press(&FrontPanel::adjustDown, 7);
  EXPECT_EQ(commands().back(), "RG0000;");
  EXPECT_EQ(commands()[0], "RG0050;");
  EXPECT_EQ(commands().size(), 7u);
  EXPECT_TRUE(words().empty());
}

TEST_F(LevelsTest, AfGainMovesInTensBetweenZeroAndTwoHundredFifty) {
  panel.focusControl = Focus::afGain;
  panel.afGain = 50;
  panel.adjustUp();
  EXPECT_EQ(commands(), (Strings{"AG0060;"}));
  platform.clearRecords();
  press(&FrontPanel::adjustDown, 7);
  EXPECT_EQ(commands(), (Strings{"AG0050;", "AG0040;", "AG0030;", "AG0020;", "AG0010;", "AG0000;",
                                 "AG0000;"}));
  EXPECT_TRUE(words().empty());
  panel.afGain = 240;
  press(&FrontPanel::adjustUp, 2);
  EXPECT_EQ(commands().back(), "AG0250;");
  EXPECT_EQ(words(), (Strings{"max", "max"}));
}

TEST_F(LevelsTest, FilterWidthStaysBetweenNineAndTwentyOne) {
  panel.focusControl = Focus::width;
  panel.filterWidth = 20;
  press(&FrontPanel::adjustUp, 2);
  panel.filterWidth = 10;
  press(&FrontPanel::adjustDown, 2);
  EXPECT_EQ(commands(), (Strings{"SH021;", "SH021;", "SH009;", "SH009;"}));
}

TEST_F(LevelsTest, FrequencyFocusMovesOneKilohertzWithinTheNineDigits) {
  panel.focusControl = Focus::frequency;
  panel.frequencyHz = 7'100'000;
  panel.adjustUp();
  EXPECT_EQ(panel.frequencyHz, 7'101'000);
  panel.frequencyHz = 500;
  panel.adjustDown();
  EXPECT_EQ(panel.frequencyHz, 0);
  panel.frequencyHz = 999'999'500;
  panel.adjustUp();
  EXPECT_EQ(panel.frequencyHz, 999'999'999);
  // Each step asks where the radio is first, and sends the frequency.
  EXPECT_EQ(commands(), (Strings{"FA;", "FA007101000;", "FA;", "FA000000000;", "FA;",
                                 "FA999999999;"}));
}

TEST_F(LevelsTest, BandStepsQueueAndWrapAfterAFullRoundOfTheCoveredBands) {
  panel.focusControl = Focus::band;
  panel.bandIndex = 4;
  panel.bandCoverage = "1";
  press(&FrontPanel::adjustUp, 2);
  EXPECT_EQ(panel.bandStepPending, 2);
  press(&FrontPanel::adjustUp, 9);
  EXPECT_EQ(panel.bandStepPending, 1);  // the eleventh step wraps 11 to 1

  panel.bandCoverage = "7";
  panel.bandStepPending = 13;
  panel.adjustUp();
  EXPECT_EQ(panel.bandStepPending, 1);

  panel.bandCoverage = "?";  // unknown radio: a round of all thirteen bands
  panel.bandStepPending = 0;
  press(&FrontPanel::adjustDown, 14);
  EXPECT_EQ(panel.bandStepPending, -1);
  // Each step asks the radio's frequency, whose answer would take it; a
  // radio that does not answer takes none.
  Strings sent = commands();
  EXPECT_EQ(sent, Strings(sent.size(), "FA;"));
  EXPECT_TRUE(words().empty());
}

TEST_F(LevelsTest, BandStepsTakenBackCancel) {
  panel.focusControl = Focus::band;
  panel.bandIndex = 4;
  panel.bandCoverage = "1";
  panel.adjustUp();
  panel.adjustDown();
  EXPECT_EQ(panel.bandStepPending, 0);
  panel.adjustDown();
  EXPECT_EQ(panel.bandStepPending, -1);
}

TEST_F(LevelsTest, BandStepsOutsideEveryBandAreRefused) {
  panel.focusControl = Focus::band;
  panel.bandIndex = 99;
  panel.bandCoverage = "7";
  panel.adjustUp();
  panel.adjustDown();
  EXPECT_EQ(panel.bandStepPending, 0);
  EXPECT_EQ(words(), (Strings{"band", "un", "band", "un"}));
}

TEST_F(LevelsTest, EachSwitchFlipsItsOwnFlagOnly) {
  struct Case {
    void (FrontPanel::*toggle)();
    int FrontPanel::*flag;
    const char* word;
    const char* on;
    const char* off;
  };
  const Case cases[] = {
      {&FrontPanel::togglePreamp, &FrontPanel::preampOn, "preamp", "PA01;", "PA00;"},
      {&FrontPanel::toggleAttenuator, &FrontPanel::attenuatorOn, "at", "RA01;", "RA00;"},
      {&FrontPanel::toggleNoiseBlanker, &FrontPanel::noiseBlankerOn, "nb", "NB01;", "NB00;"},
      {&FrontPanel::toggleNoiseReduction, &FrontPanel::noiseReductionOn, "nr", "NR01;", "NR00;"},
  };
  for (const Case& c : cases) {
    platform.clearRecords();
    (panel.*c.toggle)();
    EXPECT_EQ(panel.*c.flag, 1);
    int onCount = panel.preampOn + panel.attenuatorOn + panel.noiseBlankerOn +
                   panel.noiseReductionOn;
    EXPECT_EQ(onCount, 1) << c.word;
    (panel.*c.toggle)();
    EXPECT_EQ(panel.*c.flag, 0);
    EXPECT_EQ(commands(), (Strings{c.on, c.off}));
    EXPECT_EQ(words(), (Strings{c.word, "on", c.word, "off"}));
  }
}

}  // namespace
