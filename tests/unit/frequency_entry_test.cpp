#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"
#include "state/band_table.h"

namespace {

using Strings = std::vector<std::string>;

class FrequencyEntryTest : public AfterOpeningTest {
 protected:
  FrequencyEntryTest() {
    panel.frequencyHz = 7'100'000;
    panel.lastReplyMode = 1;
  }

  // The keys after "E": digits and ".".
  void type(std::string_view keys) {
    for (char key : keys) {
      if (key == '.') {
        panel.acceptEntryPoint();
      } else {
        panel.handleDigit(key - '0');
      }
    }
  }
};

TEST_F(FrequencyEntryTest, StepsByKeyWithTwelveAndAHalfKilohertzForFmChannels) {
  struct Case {
    int key;
    int hz;
    int band;
    int mode;
    int stepped;
    const char* command;
  };
  const Case cases[] = {
      {key::pageUp, 145'500'000, 12, 5, 145'512'500, "FA145512500;"},
      {key::pageUp, 145'500'000, 12, 2, 145'510'000, "FA145510000;"},
      {key::pageUp, 28'500'000, 10, 5, 28'510'000, "FA028510000;"},
      {key::pageDown, 432'000'000, 13, 5, 431'987'500, "FA431987500;"},
      {key::pageDown, 51'000'000, 99, 5, 50'987'500, "FA050987500;"},
      {key::right, 7'100'000, 4, 1, 7'100'100, "FA007100100;"},
      {key::left, 7'100'000, 4, 1, 7'099'900, "FA007099900;"},
      {key::minus, 10'500'000, 5, 3, 9'500'000, "FA009500000;"},
      {key::equals, 99'500'000, 99, 2, 100'500'000, "FA100500000;"},
      {key::f1, 7'100'000, 4, 1, 7'100'000, ""},  // no step: nothing sent
      {key::minus, 500'000, 99, 1, 0, "FA000000000;"},
      {key::left, 50, 99, 1, 0, "FA000000000;"},
      {key::equals, 999'500'000, 99, 1, 999'999'999, "FA999999999;"},
  };
  for (const Case& c : cases) {
    platform.clearRecords();
    panel.frequencyHz = c.hz;
    panel.bandIndex = c.band;
    panel.modeIndex = c.mode;
    panel.stepFrequency(c.key);
    EXPECT_EQ(panel.frequencyHz, c.stepped) << c.key << " at " << c.hz;
    // The radio is asked where it is before the step.
    EXPECT_EQ(commands(), *c.command == '\0' ? Strings{} : (Strings{"FA;", c.command}));
  }
}

TEST_F(FrequencyEntryTest, WorkedEntriesSendTheirFrequencyOrAreRefused) {
  struct Case {
    const char* keys;
    const char* sent;  // empty: refused
  };
  const Case cases[] = {
      {"7.1", "FA007100000;"},
      {"14.25", "FA014250000;"},
      {"145.5", "FA145500000;"},
      {"1.84", "FA001840000;"},
      {"14", "FA014000000;"},
      {"439.9", "FA439900000;"},
      {"", ""},  // no digits: no frequency
      {"0", ""},
      {"07.1", "FA007100000;"},  // a leading zero adds no megahertz digit
      {"900", "FA900000000;"},   // without a point, no range is checked
      {"440.", ""},              // an entry whose point was refused
      {"0.5", ""},
      {"1420", ""},
      {"14.2000000", ""},
      {"1.0000000000", ""},
      {"7.12345678901234567890", ""},
      {"98765432109876", ""},
  };
  for (const Case& c : cases) {
    panel.startEntry();
    type(c.keys);
    platform.clearRecords();
    panel.completeEntry();
    EXPECT_EQ(panel.entryArmed, 0);
    if (*c.sent == '\0') {
      EXPECT_EQ(commands(), Strings{}) << c.keys;
      EXPECT_EQ(words().back(), "invalid") << c.keys;
    } else {
      Strings sent = commands();
      ASSERT_GE(sent.size(), 2u) << c.keys;
      EXPECT_EQ(sent[sent.size() - 2], c.sent) << c.keys;
      EXPECT_EQ(words().back(), "ok") << c.keys;
    }
  }
}

TEST_F(FrequencyEntryTest, PointSelectsTheTypedBandsModeAndEnterItsPreamp) {
  panel.bandMode[6] = "3";
  panel.startEntry();
  type("14.");
  EXPECT_EQ(panel.bandMode[4], "1");  // the band left behind keeps its mode
  EXPECT_EQ(panel.bandIndex, 6);
  EXPECT_EQ(panel.modeIndex, 3);
  EXPECT_EQ(commands(), (Strings{"FA;", "MD03;", "FA007100000;"}));
  EXPECT_EQ(words(), (Strings{"EF", "1", "4", "point"}));

  type("2");
  panel.bandIndex = 4;  // a frequency reply meanwhile
  platform.clearRecords();
  panel.completeEntry();
  EXPECT_EQ(commands(), (Strings{"FA;", "FA014200000;", "PA01;"}));
  EXPECT_EQ(words(), (Strings{"preamp", "on", "ok"}));
  EXPECT_EQ(panel.bandIndex, 6);
}

// A refused entry changes nothing: no band, no mode, no band memory.
TEST_F(FrequencyEntryTest, EnterAtOnceIsRefusedAndChangesNothing) {
  panel.bandIndex = 6;
  panel.modeIndex = 2;
  panel.preampOn = 1;
  auto modesBefore = panel.bandMode;
  panel.startEntry();
  platform.clearRecords();
  panel.completeEntry();
  EXPECT_TRUE(commands().empty());
  EXPECT_EQ(words(), Strings{"invalid"});
  EXPECT_EQ(panel.bandIndex, 6);
  EXPECT_EQ(panel.modeIndex, 2);
  EXPECT_EQ(panel.bandMode, modesBefore);
  EXPECT_EQ(panel.entryArmed, 0);
}

TEST_F(FrequencyEntryTest, SecondPointTakesTheBandFromAllDigitsSoFar) {
  panel.startEntry();
  type("14.2.");
  platform.clearRecords();
  panel.completeEntry();
  EXPECT_EQ(commands(), (Strings{"FA;", "FA014200000;", "PA00;"}));
  EXPECT_EQ(panel.bandIndex, 99);
}

TEST_F(FrequencyEntryTest, PointOutsideOneToFourHundredThirtyNineIsRefusedAndKeepsTheEntry) {
  for (const char* keys : {"500.", "0.", "440."}) {
    panel.startEntry();
    platform.clearRecords();
    type(keys);
    EXPECT_EQ(words().back(), "invalid") << keys;
    EXPECT_TRUE(commands().empty()) << keys;
    EXPECT_EQ(panel.entryArmed, 1);
    EXPECT_EQ(panel.entryPointSeen, 0);
  }
  panel.startEntry();
  type("439.");
  EXPECT_EQ(panel.bandIndex, 13);
  EXPECT_EQ(panel.entryPointSeen, 1);
}

TEST_F(FrequencyEntryTest, DigitsOnlyCountWhenAnEntryIsArmedWithFrequencyFocus) {
  panel.handleDigit(5);
  EXPECT_EQ(panel.entryValue, noEntry);
  EXPECT_TRUE(commands().empty());
  EXPECT_TRUE(words().empty());
}

TEST_F(FrequencyEntryTest, StoreArmedDigitAlsoSelectsTheBand) {
  panel.reportedHz = 7100000;
  panel.channelAction = ChannelAction::store;
  panel.focusControl = Focus::band;
  panel.handleDigit(6);
  EXPECT_EQ(panel.memoryChannel[6], "1007100000");
  EXPECT_EQ(panel.channelAction, ChannelAction::none);
  EXPECT_EQ(panel.bandIndex, 6);
  EXPECT_EQ(words(), (Strings{"6", "ok", "20", "metres", "preamp", "on"}));
}

TEST_F(FrequencyEntryTest, StoreArmedDigitAlsoGoesIntoTheEntryButRecallEndsThere) {
  panel.reportedHz = 7100000;
  panel.startEntry();
  panel.channelAction = ChannelAction::store;
  type("7");
  EXPECT_EQ(panel.memoryChannel[7], "1007100000");
  EXPECT_EQ(panel.entryValue, 7);
  EXPECT_EQ(words(), (Strings{"EF", "7", "ok", "7"}));

  panel.channelAction = ChannelAction::recall;
  type("7");
  EXPECT_EQ(panel.entryValue, 7);
  EXPECT_EQ(panel.entryMhzDigits, 1);
  EXPECT_EQ(panel.channelAction, ChannelAction::none);
}

}  // namespace
