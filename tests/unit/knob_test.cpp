// The radio's own knob turned a moment before a key: no key takes the radio
// back to the frequency the program knew, and the keys that start from the
// frequency start from the knob's. The radio is quelmo-sim's on the scripted
// port, answering at once; a tick is 50 ms.
#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"

namespace {

using Strings = std::vector<std::string>;

constexpr int knownHz = 7'100'000;
constexpr int knobHz = 7'123'450;  // not on a kilohertz: a rounding shows

class KnobTest : public ScriptedRadioTest {
 protected:
  KnobTest() {
    panel.running = 1;
    settle();
    EXPECT_EQ(panel.connectedSpoken, 1);
  }

  void settle() { tick(8); }

  // Back on the known frequency, as the program knows it, with nothing
  // waiting: no entry, no channel, no tuning, the arrows on the frequency.
  void startAgain() {
    if (panel.tuneActive == 1) press('T');
    transceiver.setFrequency(knownHz);
    transceiver.setMode('1');
    panel.modeIndex = 1;
    panel.focusControl = Focus::frequency;
    panel.channelAction = ChannelAction::none;
    panel.entryArmed = 0;
    panel.entryValue = noEntry;
    settle();
    ASSERT_EQ(panel.frequencyHz, knownHz);
    platform.clearRecords();
  }

  // The frequency commands among what was sent.
  Strings frequencyCommands() const {
    Strings sent;
    for (const std::string& command : commands()) {
      if (command.rfind("FA", 0) == 0 && command != "FA;") sent.push_back(command);
    }
    return sent;
  }
};

// Every key 40, 150 and 300 ms after the knob's last turn (before the next
// tick, three ticks after, six ticks after): the radio ends on the knob's
// frequency, or on the step or the rounding the key makes of it.
TEST_F(KnobTest, NoKeyTakesTheRadioBackAndTheStepsStartFromTheKnob) {
  struct Case {
    int key;
    int radioHz;  // where the radio is after the key
  };
  const Case cases[] = {
      {key::up, knobHz + 1'000},
      {key::down, knobHz - 1'000},
      {key::right, knobHz + 100},
      {key::left, knobHz - 100},
      {key::pageUp, knobHz + 10'000},
      {key::pageDown, knobHz - 10'000},
      {key::equals, knobHz + 1'000'000},
      {key::minus, knobHz - 1'000'000},
      {'Z', 7'123'000},  // down to the kilohertz in LSB
      {'M', 7'124'000},  // USB next: up to the kilohertz
      {'F', knobHz},
      {'S', knobHz},
      {'E', knobHz},
      {key::enter, knobHz},  // before any entry
      {key::point, knobHz},  // without an entry: "invalid"
      {'T', knobHz},         // the radio's tuner
      {'A', knobHz},
      {'R', knobHz},
      {'P', knobHz},
      {'W', knobHz},
      {'B', knobHz},
      {'C', knobHz},
      {'G', knobHz},
      {'H', knobHz},
      {'5', knobHz},
      {key::f1, knobHz},
      {key::f2, knobHz},
      {key::f3, knobHz},
      {key::f4, knobHz},
      {key::f5, knobHz},
      {key::f6, knobHz},
      {'X', knobHz},
      {key::backspace, knobHz},
      {key::comma, knobHz},
      {key::keypad0 + 1, knobHz},
      {key::escape, knobHz},
      {key::space, knobHz},
      {key::shift, knobHz},
  };
  for (int ticks : {0, 3, 6}) {
    for (const Case& c : cases) {
      SCOPED_TRACE("key " + std::to_string(c.key) + ", " + std::to_string(ticks) + " ticks");
      startAgain();
      transceiver.setFrequency(knobHz);
      tick(ticks);
      press(c.key);
      EXPECT_EQ(transceiver.frequencyHz(), c.radioHz);
      Strings sent = frequencyCommands();
      if (c.radioHz == knobHz) {
        EXPECT_TRUE(sent.empty()) << sent.front();
      }
      settle();
      EXPECT_EQ(transceiver.frequencyHz(), c.radioHz);
      EXPECT_EQ(panel.frequencyHz, c.radioHz);
    }
  }
}

// Keys pressed one after another with no tick between (typed while a
// phrase was said): each steps from where the one before left the radio.
TEST_F(KnobTest, StepsTypedAheadAfterTheKnobEachStartFromTheOneBefore) {
  startAgain();
  transceiver.setFrequency(knobHz);
  for (int code : {key::pageUp, key::pageUp, key::right, key::up}) press(code);
  EXPECT_EQ(transceiver.frequencyHz(), knobHz + 21'100);
  EXPECT_EQ(frequencyCommands(), (Strings{"FA007133450;", "FA007143450;", "FA007143550;",
                                          "FA007144550;"}));
}

// A band or a channel left, or a channel stored, right after the knob:
// what the band memory and the channel keep is the knob's frequency.
TEST_F(KnobTest, WhatIsKeptIsTheKnobsFrequency) {
  startAgain();
  transceiver.setFrequency(knobHz);
  press('C');
  press('3');
  EXPECT_EQ(panel.memoryChannel[3], "1007123450");

  startAgain();
  transceiver.setFrequency(knobHz);
  press('B');
  press('6');
  EXPECT_EQ(panel.bandHz[4], knobHz);
  EXPECT_EQ(transceiver.frequencyHz(), 14'200'000);

  // The band's arrows: the step is taken from the band the radio answers
  // it is on, at once.
  startAgain();
  transceiver.setFrequency(14'074'000);  // 20 m, by the knob
  press('B');
  press(key::up);
  EXPECT_EQ(panel.bandHz[6], 14'074'000);
  EXPECT_EQ(panel.bandIndex, 7);
  EXPECT_EQ(transceiver.frequencyHz(), 18'100'000);
}

// The radio silent when a key asks: the key is not held up for long and
// works from the frequency last known.
TEST_F(KnobTest, AStepOnASilentRadioStartsFromTheFrequencyKnown) {
  startAgain();
  transceiver.switchOff();
  press(key::pageUp);
  EXPECT_EQ(commands(), (Strings{"FA;", "FA007110000;"}));
  EXPECT_EQ(panel.frequencyHz, knownHz + 10'000);
}

}  // namespace
