// The poll keeps up with a line full of noise: each reading tick takes all
// that has arrived, so the radio's replies between the noise are read as
// they come, not ever later behind it.
#include <string>

#include "front_panel_fixture.h"

namespace {

// The radio found (connected): its readings are taken.
class PollDrainTest : public AfterOpeningTest {
 protected:
  PollDrainTest() { panel.connectedSpoken = 1; }
};

// 350 bytes a tenth of a second are what a 38400-baud line carries, the
// radio's reply among them; for three seconds every reply is taken on the
// tick it came, the last one too.
TEST_F(PollDrainTest, RepliesAmongNoiseAtTheLineRateAreTakenAsTheyCome) {
  const std::string noise = std::string(326, '\x7f') + ";";
  panel.pollToggle = 0;
  for (int cycle = 0; cycle < 15; ++cycle) {
    int hz = 14'200'000 + cycle * 1000;
    tick();  // "FA;"
    platform.queueReply(noise + "FA0" + std::to_string(hz) + ";");
    tick();
    EXPECT_EQ(panel.frequencyHz, hz) << cycle;
    tick();  // "SM0;"
    platform.queueReply(noise + "SM0005;");
    tick();
  }
  EXPECT_TRUE(words().empty());
}

}  // namespace
