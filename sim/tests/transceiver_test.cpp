// The simulated radio's rules, without a terminal in between.
#include "sim/transceiver.h"

#include <gtest/gtest.h>

#include <set>

TEST(Transceiver, AnswersQueriesAndAppliesSetCommands) {
  Transceiver radio(1, false);
  EXPECT_EQ(radio.handleCommand("FA"), "FA007100000;");
  EXPECT_EQ(radio.handleCommand("MD0"), "MD01;");
  EXPECT_EQ(radio.handleCommand("FA144300000"), std::nullopt);
  EXPECT_EQ(radio.handleCommand("MD0B"), std::nullopt);
  EXPECT_EQ(radio.handleCommand("FA"), "FA144300000;");
  EXPECT_EQ(radio.handleCommand("MD0"), "MD0B;");
  radio.handleCommand("PC005");
  radio.handleCommand("SH014");
  radio.handleCommand("AC002");
  EXPECT_EQ(radio.setting("PC"), "005");
  EXPECT_EQ(radio.setting("SH0"), "14");
  EXPECT_EQ(radio.setting("AC00"), "2");
}

// What the FT-991A cannot carry out it answers "?;": a frequency outside
// its coverage, a level out of its range, a mode or a value it does not
// have, a command it does not know. Text that is no command at all (the
// wake-up text, line noise) gets no answer. Neither changes anything.
TEST(Transceiver, RefusesWhatTheRadioCannotTakeAndIgnoresNoise) {
  Transceiver radio(1, false);
  for (const char* refused :
       {"FA900000000", "FA000000000", "FA000029999", "FA056000001", "FA117999999", "FA470000001",
        "FA000",       "FA01420000X", "MD0Z",        "PC004",       "PC101",       "PC0100",
        "AG0256",      "SH008",       "SH022",       "PR02",        "PA02",        "TX2",
        "AC003",       "ZZ123",       "XY"}) {
    EXPECT_EQ(radio.handleCommand(refused), "?;") << refused;
  }
  for (const char* noise : {"Power on", "fa", "F", "", "Z1"}) {
    EXPECT_EQ(radio.handleCommand(noise), std::nullopt) << noise;
  }
  EXPECT_EQ(radio.frequencyHz(), 7100000);
  EXPECT_EQ(radio.modeCharacter(), '1');
  EXPECT_EQ(radio.setting("PC"), "");
  EXPECT_EQ(radio.setting("PR0"), "");
  EXPECT_TRUE(isWellFormed("ZZ123"));
  EXPECT_FALSE(isWellFormed("Z1"));
}

// A radio without a command refuses it, as one that never had it would.
TEST(Transceiver, RefusesACommandItWasMadeWithout) {
  Transceiver radio(1, false);
  radio.removeCommand("BC0");
  EXPECT_EQ(radio.handleCommand("BC01"), "?;");
  EXPECT_EQ(radio.handleCommand("BC00"), "?;");
  EXPECT_EQ(radio.setting("BC0"), "");
  EXPECT_EQ(radio.handleCommand("NB01"), std::nullopt);
}

// The ends of each range it takes, and the speech processor both ways: 0
// off and 1 on.
TEST(Transceiver, TakesTheEndsOfItsRangesAndBothProcessorValues) {
  Transceiver radio(1, false);
  for (const char* taken :
       {"FA000030000", "FA056000000", "FA118000000", "FA164000000", "FA420000000", "FA470000000",
        "PC005", "PC100", "AG0000", "AG0255", "RG0255", "SH009", "SH021", "MD0E", "MD07"}) {
    EXPECT_EQ(radio.handleCommand(taken), std::nullopt) << taken;
  }
  EXPECT_EQ(radio.frequencyHz(), 470'000'000);
  EXPECT_EQ(radio.modeCharacter(), '7');
  radio.handleCommand("PR01");
  EXPECT_EQ(radio.setting("PR0"), "1");
  radio.handleCommand("PR00");
  EXPECT_EQ(radio.setting("PR0"), "0");
}

// As another model it answers in that model's forms, and refuses the
// FT-991A's where they differ: the FT-950's eight digits and "PR" without
// the 0; the FTDX101MP's six-digit SWR, "SH00" and 200 W; the FT-450's
// missing notch. Told to, it gives another identity.
TEST(Transceiver, AnswersAsTheModelItIs) {
  Transceiver ft950(1, false, yaesu::ft950);
  EXPECT_EQ(ft950.handleCommand("ID"), "ID0310;");
  EXPECT_EQ(ft950.handleCommand("FA"), "FA07100000;");
  EXPECT_EQ(ft950.handleCommand("FA14250000"), std::nullopt);
  EXPECT_EQ(ft950.frequencyHz(), 14'250'000);
  EXPECT_EQ(ft950.handleCommand("FA014250000"), "?;");
  EXPECT_EQ(ft950.handleCommand("PR1"), std::nullopt);
  EXPECT_EQ(ft950.handleCommand("PR01"), "?;");

  Transceiver mp(1, false, yaesu::ftdx101mp);
  EXPECT_EQ(mp.handleCommand("ID"), "ID0682;");
  EXPECT_EQ(mp.handleCommand("PC200"), std::nullopt);
  EXPECT_EQ(mp.handleCommand("SH0014"), std::nullopt);
  EXPECT_EQ(mp.setting("SH00"), "14");
  EXPECT_EQ(mp.handleCommand("SH014"), "?;");
  mp.handleCommand("TX1");
  EXPECT_EQ(mp.handleCommand("RM6"), "RM6100000;");

  Transceiver ft450(1, false, yaesu::ft450);
  EXPECT_EQ(ft450.handleCommand("BC01"), "?;");
  EXPECT_EQ(ft450.handleCommand("PR01"), "?;");
  EXPECT_EQ(ft450.handleCommand("MD0"), "MD01;");
  EXPECT_EQ(ft450.handleCommand("MD04"), std::nullopt);  // its FM

  Transceiver unknown(1, false);
  unknown.answerIdentity(840);
  EXPECT_EQ(unknown.handleCommand("ID"), "ID0840;");
}

TEST(Transceiver, SwitchedOffObeysOnlyPowerOn) {
  Transceiver radio(1, true);
  EXPECT_EQ(radio.handleCommand("FA"), std::nullopt);
  radio.handleCommand("FA014000000");
  radio.handleCommand("TX1");
  EXPECT_FALSE(radio.transmitting());
  radio.handleCommand("PS1");
  EXPECT_TRUE(radio.poweredOn());
  EXPECT_EQ(radio.handleCommand("FA"), "FA007100000;");
  radio.handleCommand("TX1");
  radio.handleCommand("PS0");
  EXPECT_FALSE(radio.poweredOn());
  EXPECT_FALSE(radio.transmitting()) << "switching off ends a transmission";
}

TEST(Transceiver, SwrDriftsOnlyWhileTransmitting) {
  Transceiver radio(1, false);
  radio.driftSwr();
  EXPECT_EQ(radio.handleCommand("RM6"), "RM6000;");
  radio.handleCommand("TX1");
  std::set<int> seen;
  for (int step = 0; step < 200; ++step) {
    radio.driftSwr();
    ASSERT_GE(radio.swr(), 100);
    ASSERT_LE(radio.swr(), 140);
    seen.insert(radio.swr());
  }
  EXPECT_EQ(seen.size(), 41u) << "goes over the whole range and back";
  radio.handleCommand("TX0");
  EXPECT_EQ(radio.handleCommand("RM6"), "RM6000;");
}

TEST(Transceiver, SMeterWandersWithinRangeAndRepeatsForASeed) {
  Transceiver first(42, false);
  Transceiver second(42, false);
  std::set<int> seen;
  for (int step = 0; step < 2000; ++step) {
    first.wanderSMeter();
    second.wanderSMeter();
    ASSERT_EQ(first.sMeter(), second.sMeter());
    ASSERT_GE(first.sMeter(), 0);
    ASSERT_LE(first.sMeter(), 255);
    seen.insert(first.sMeter());
  }
  EXPECT_GT(seen.size(), 20u);
  first.setSMeter(300);
  EXPECT_EQ(first.handleCommand("SM0"), "SM0255;");
}

TEST(Transceiver, GarbleChangesExactlyOneByte) {
  Transceiver radio(3, false);
  const std::string reply = "FA007100000;";
  for (int i = 0; i < 50; ++i) {
    const std::string noisy = radio.garble(reply);
    ASSERT_EQ(noisy.size(), reply.size());
    int differing = 0;
    for (std::size_t k = 0; k < reply.size(); ++k) differing += noisy[k] != reply[k];
    EXPECT_EQ(differing, 1);
  }
}
