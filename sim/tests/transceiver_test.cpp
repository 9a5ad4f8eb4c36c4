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
  radio.handleCommand("PC0005");
  radio.handleCommand("SH014");
  radio.handleCommand("AC002");
  EXPECT_EQ(radio.setting("PC0"), "005");
  EXPECT_EQ(radio.setting("SH0"), "14");
  EXPECT_EQ(radio.setting("AC00"), "2");
}

TEST(Transceiver, IgnoresMalformedTextAndWrongParameters) {
  Transceiver radio(1, false);
  // The opening sequence's short frequency and the wake-up text.
  for (const char* noise : {"FA000", "Power on", "FA01420000X", "MD0Z", "PC01000", "fa", "F", ""}) {
    EXPECT_EQ(radio.handleCommand(noise), std::nullopt) << noise;
  }
  EXPECT_EQ(radio.frequencyHz(), 7100000);
  EXPECT_EQ(radio.modeDigit(), '1');
  EXPECT_EQ(radio.setting("PC0"), "");
  // Unknown but well-formed commands are taken without an answer.
  EXPECT_EQ(radio.handleCommand("ZZ123"), std::nullopt);
  EXPECT_TRUE(isWellFormed("ZZ123"));
  EXPECT_FALSE(isWellFormed("Z1"));
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
