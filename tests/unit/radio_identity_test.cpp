// Which radio answers: its identity asked when it is found and its model's
// forms spoken from then on; an identity of no model said once; a radio that
// answers, but never as the dialect reads, said once to be not understood.
#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"

namespace {

using Words = std::vector<std::string>;
using Commands = std::vector<std::string>;

class RadioIdentityTest : public AfterOpeningTest {
 protected:
  RadioIdentityTest() {
    panel.radioIdentified = 0;
    panel.comPort = 1;
    panel.debugFlag = 1;
    panel.debugFile.open("debug.dat", "W");
  }

  // One poll cycle: the frequency question, its answer, the meter's.
  void cycle(const std::string& toFrequency, const std::string& toMeter = "") {
    tick();
    platform.queueReply(toFrequency);
    tick();
    tick();
    platform.queueReply(toMeter);
    tick();
  }
  // The poll's frequency question answered finds the radio, and the
  // questions that find it are answered in order, the identity first.
  void found(const std::string& identity) {
    tick();
    platform.queueReply("FA007100000;");
    tick();
    tick();
    platform.queueReply(identity + "MD01;FA007100000;SM0040;");
    tick();
  }
  std::vector<std::string> linkLines() {
    panel.debugFile.close();
    std::vector<std::string> lines;
    std::string text = readFileBytes("debug.dat");
    for (std::size_t at = 0; (at = text.find("LINK=", at)) != std::string::npos; ++at) {
      lines.push_back(text.substr(at, text.find('\r', at) - at));
    }
    return lines;
  }
};

// The radio's first answer finds it: it is asked who it is, its mode and its
// frequency, and the frequency's answer, read in the model's own digits
// (eight on the FT-450), connects it.
TEST_F(RadioIdentityTest, AskedWhenFoundThenTheModelsFormsAreSpoken) {
  cycle("FA14250000;");  // the FT-991A's nine digits expected: not understood yet
  cycle("ID0310;MD02;FA14250000;");
  EXPECT_EQ(commands(), (Commands{"FA;", "ID;", "MD0;", "FA;", "SM0;", "FA;", "SM0;"}));
  EXPECT_EQ(panel.frequencyHz, 14'250'000);
  EXPECT_EQ(words(), Words{"connected"});
  platform.clearRecords();
  press(key::pageUp);
  EXPECT_EQ(commands(), (Commands{"FA;", "FA14260000;"}));
}

TEST_F(RadioIdentityTest, AnIdentityOfNoModelIsSaidOnceAndARefusedOneIsNone) {
  found("ID0840;");
  EXPECT_EQ(words(), (Words{"unknownmodel", "connected"}));
  EXPECT_EQ(panel.radioIdentified, 1);
  // Found again: asked again, and not said again.
  platform.clearRecords();
  panel.radioIdentified = 0;
  panel.connectedSpoken = 0;
  found("ID0840;");
  EXPECT_EQ(words(), Words{"connected"});

  // A radio that refuses the question is no model of the table either.
  platform.clearRecords();
  panel.radioIdentified = 0;
  panel.connectedSpoken = 0;
  found("?;");
  EXPECT_EQ(words(), (Words{"unknownmodel", "connected"}));
  EXPECT_EQ(panel.radioIdentified, 1);
}

// Another maker's radio: it answers every question, but never with a
// frequency of the family's form. A second of that is said once, with what
// it sent; "no answer" is not said, as it does answer.
TEST_F(RadioIdentityTest, ARadioThatAnswersInAnotherLanguageIsNotUnderstoodOnce) {
  cycle("ID019;FA00007100000;", "SM00005;");
  for (int i = 0; i < 5; ++i) cycle("FA00007100000;", "SM00005;");
  EXPECT_EQ(words(), (Words{"unknownmodel", "notunderstood"}));
  for (int i = 0; i < 10; ++i) cycle("FA00007100000;", "SM00005;");
  EXPECT_EQ(words(), (Words{"unknownmodel", "notunderstood"}));
  EXPECT_EQ(panel.connectedSpoken, 0);
  std::vector<std::string> link = linkLines();
  ASSERT_EQ(link.size(), 1u);
  EXPECT_NE(link[0].find("radio not understood"), std::string::npos);
  EXPECT_NE(link[0].find("\"FA00007100000;\""), std::string::npos);
  EXPECT_NE(link[0].find("RIGCTLD="), std::string::npos);
  platform.clearRecords();
  press('F');
  EXPECT_EQ(words(), Words{"nc"});
}

// A radio that answers in its own language once in a while is understood.
TEST_F(RadioIdentityTest, ARadioUnderstoodIsNeverSaidNotToBe) {
  cycle("FA007100000;");
  cycle("ID0670;MD01;FA007100000;");
  for (int i = 0; i < 10; ++i) cycle("FA0071000;", "SM0040;");  // garbled now and then
  EXPECT_EQ(words(), Words{"connected"});
}

// Lost and found: the radio found is asked who it is again, and may be
// another model.
TEST_F(RadioIdentityTest, ARadioFoundAgainIsAskedAgain) {
  cycle("FA007100000;");
  cycle("ID0670;MD01;FA007100000;");
  platform.unplug(1);
  platform.portAvailable = false;
  tick(2);
  EXPECT_EQ(panel.radioIdentified, 0);
  platform.portAvailable = true;
  tick(20);
  platform.clearRecords();
  panel.awaitingReply = 0;
  panel.pollToggle = 0;
  cycle("FA07100000;");  // eight digits: not the FT-991A it was
  cycle("ID0310;MD01;FA07100000;");
  EXPECT_EQ(commands(), (Commands{"FA;", "ID;", "MD0;", "FA;", "SM0;", "FA;", "SM0;"}));
  EXPECT_EQ(words(), Words{"connected"});
  press(key::pageUp);
  EXPECT_EQ(commands().back(), "FA07110000;");
}

}  // namespace
