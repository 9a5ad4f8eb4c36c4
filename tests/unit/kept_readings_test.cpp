// What the operator hears and keeps is the radio's own: no meter reading is
// said that the radio never gave, the carrier's end leaves the frequency
// where it was, and a channel holds the frequency's digits whatever the
// length of the radio's reply.
#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"
#include "state/band_table.h"

namespace {

using Words = std::vector<std::string>;
using Commands = std::vector<std::string>;

class KeptReadingsTest : public AfterOpeningTest {
 protected:
  KeptReadingsTest() {
    panel.connectedSpoken = 1;  // the radio has answered
    panel.freqDisplay = "  7.100000";
    panel.frequencyHz = 7'100'000;
  }

  // Poll ticks with the radio saying nothing.
  void silentTicks(int count) { tick(count); }
  std::vector<std::string> labels() const {
    std::vector<std::string> shown;
    for (const PrintedText& text : platform.printed) shown.push_back(text.text);
    return shown;
  }
};

// An operator keying a carrier into an unknown load must not hear that the
// match is perfect: the radio never answered the SWR question.
TEST_F(KeptReadingsTest, TheSwrTheRadioNeverGaveIsNoReading) {
  press('T');
  silentTicks(4);
  platform.clearRecords();
  press('S');
  EXPECT_EQ(words(), (Words{"SWR", "noreading"}));

  // A reply of another form (six digits where the radio gives three) is no
  // reading either.
  panel.pollToggle = 1;
  tick();
  platform.queueReply("RM6100000;");
  tick();
  platform.clearRecords();
  press('S');
  EXPECT_EQ(words(), (Words{"SWR", "noreading"}));
}

TEST_F(KeptReadingsTest, TheSMeterTheRadioNeverGaveIsNoReadingAndNoNumber) {
  press('S');
  EXPECT_EQ(words(), (Words{"s", "noreading"}));
  for (const std::string& label : labels()) {
    EXPECT_EQ(label.find_first_of("0123456789"), std::string::npos) << label;
  }
}

// Started off a whole kilohertz, the carrier ends where it began.
TEST_F(KeptReadingsTest, TheCarriersEndLeavesTheFrequencyWhereItWas) {
  panel.tuneCarrier = 1;
  panel.frequencyHz = 7'100'100;
  press('T');
  platform.clearRecords();
  press('T');
  Commands frequencies;
  for (const std::string& command : commands()) {
    if (command.starts_with("FA")) frequencies.push_back(command);
  }
  ASSERT_FALSE(frequencies.empty());
  for (const std::string& command : frequencies) EXPECT_EQ(command, "FA007100100;");
  EXPECT_EQ(panel.frequencyHz, 7'100'100);
}

// A radio that gives its frequency in eight digits: its frequency is shown
// and said, the band memory follows it, the channel keeps the digits, and G
// finds it again.
TEST_F(KeptReadingsTest, AChannelFromAnEightDigitRadioKeepsTheDigitsOnly) {
  panel.pollToggle = 0;
  tick();
  platform.queueReply("ID0310;FA14250000;");
  tick();
  EXPECT_EQ(panel.frequencyHz, 14'250'000);
  EXPECT_EQ(panel.freqDisplay, " 14.250000");
  ASSERT_TRUE(isBand(panel.bandIndex));
  EXPECT_EQ(panel.bandHz[panel.bandIndex], 14'250'000);
  platform.clearRecords();
  press('F');
  EXPECT_EQ(words(), (Words{"lsb", "1", "4", "point", "2", "5", "mhz"}));
  press('C');
  press('5');
  std::string saved = readFileBytes("memory.dat");
  EXPECT_NE(saved.find("\r\n1014250000\r\n"), std::string::npos) << saved;
  EXPECT_EQ(saved.find(';'), std::string::npos) << saved;

  platform.clearRecords();
  press('G');
  press('5');
  EXPECT_EQ(words(), (Words{"gch", "5", "ok"}));
  bool sentBack = false;
  for (const std::string& command : commands()) {
    if (command.starts_with("FA") && command.size() > 4) {
      sentBack = sentBack || numberOf(command.substr(2)) == 14'250'000;
    }
  }
  EXPECT_TRUE(sentBack);
}

}  // namespace
