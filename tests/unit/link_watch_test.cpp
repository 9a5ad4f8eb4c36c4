// The link watch on the scripted platform: what is said when the radio goes
// missing and why, how often the port is tried, and the return.
#include <algorithm>
#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"
#include "state/band_table.h"

namespace {

using Words = std::vector<std::string>;

class LinkWatchTest : public AfterOpeningTest {
 protected:
  LinkWatchTest() {
    panel.baudRate = 38400;
    panel.debugFlag = 1;
    panel.debugFile.open("debug.dat", "W");
  }

  void ticks(int count) { tick(count); }

  // Ticks until the frequency query has gone out, then its reply is read;
  // a radio asked for its identity (found again after a loss) gives it first.
  void radioAnswers() {
    panel.awaitingReply = 0;
    panel.pollToggle = 0;
    ticks(1);
    platform.queueReply(panel.radioIdentified == 0 ? "ID0670;FA014200000;" : "FA014200000;");
    ticks(1);
  }

  int opens() const {
    return static_cast<int>(std::count_if(platform.calls.begin(), platform.calls.end(),
                                          [](const std::string& call) {
                                            return call.rfind("openSerial", 0) == 0;
                                          }));
  }

  std::vector<std::string> linkLines() {
    panel.debugFile.close();
    std::vector<std::string> lines;
    TextFile log;
    log.open("debug.dat", "R");
    std::string line;
    while (log.readLine(line) == 0) {
      if (line.rfind("LINK=", 0) == 0) lines.push_back(line);
    }
    return lines;
  }

  TemporaryDirectory folder;
};

// A port that does not open is said at the first tick, once, with its
// reason; it is tried again about once a second, and the poll sends nothing
// meanwhile.
TEST_F(LinkWatchTest, PortThatDoesNotOpenSaysWhyOnceAndIsTriedEverySecond) {
  const std::pair<SerialFault, const char*> cases[] = {{SerialFault::noDevice, "nodev"},
                                                       {SerialFault::denied, "denied"},
                                                       {SerialFault::busy, "busy"},
                                                       {SerialFault::lineRefused, "badspeed"},
                                                       {SerialFault::noServer, "noserver"},
                                                       {SerialFault::serverClosed, "serverbusy"},
                                                       {SerialFault::notAnAddress, "noaddress"}};
  for (const auto& [fault, word] : cases) {
    SCOPED_TRACE(word);
    platform.portAvailable = false;
    platform.openFault = fault;
    panel.linkFaultsSaid = 0;
    panel.openRadioPort();  // as at the opening sequence
    panel.ticksSinceOpen = 0;
    platform.clearRecords();
    ticks(1);
    EXPECT_EQ(words(), Words{word});
    ticks(60);
    EXPECT_EQ(words(), Words{word});
    EXPECT_EQ(opens(), 3);  // in three seconds and a tick
    EXPECT_TRUE(platform.portBytes.empty());
  }
  EXPECT_EQ(linkLines().size(), std::size(cases));
}

// A port line that names no port: "check line one" once, with the reason on
// standard error and in the log, and no port is ever tried.
TEST_F(LinkWatchTest, NoPortIsSaidOnceAsLineOneAndNothingIsOpened) {
  panel.comPort = 0;
  platform.clearRecords();
  testing::internal::CaptureStderr();
  ticks(60);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "quelmo: port 0: line 1 of quelmo.cfg names no port: it should end in the port's "
            "number, 5 characters for ports 1 to 9 (port1), 6 for ports 10 to 99 (port12)\n");
  EXPECT_EQ(words(), (Words{"checkline", "1"}));
  EXPECT_EQ(opens(), 0);
  EXPECT_TRUE(platform.portBytes.empty());
  EXPECT_EQ(linkLines().size(), 1u);
}

TEST_F(LinkWatchTest, SilentRadioIsLostOnceAndFoundAgain) {
  radioAnswers();
  platform.clearRecords();
  ticks(19);  // a second since the reply, counted from it
  EXPECT_TRUE(words().empty());
  ticks(1);
  EXPECT_EQ(words(), (Words{"lost", "noanswer"}));
  EXPECT_EQ(panel.radioLost, 1);
  // The readings on the window are wiped; F and S say "nc".
  ASSERT_GE(platform.printed.size(), 2u);
  EXPECT_EQ(platform.printed[0].text, std::string(23, ' '));
  EXPECT_EQ(platform.printed[1].x, 750);
  press('F');
  press('S');
  press(key::f3);  // no command goes out while the radio is lost
  EXPECT_EQ(words(), (Words{"lost", "noanswer", "nc", "nc", "nc"}));

  // The queries go on, the port is opened again about once a second, and
  // nothing more is said.
  platform.clearRecords();
  ticks(40);
  EXPECT_TRUE(words().empty());
  std::vector<std::string> sent = platform.commands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "FA;"), 10);
  EXPECT_EQ(opens(), 2);

  radioAnswers();
  EXPECT_EQ(words(), Words{"connected"});
  EXPECT_EQ(panel.radioLost, 0);
  press(key::f3);
  sent = platform.commands();
  EXPECT_EQ(sent[sent.size() - 2], "NB01;");
  EXPECT_EQ(linkLines(), (std::vector<std::string>{
                             "LINK=radio lost, port 1: no answer: the radio is off, or its CAT "
                             "speed differs from line 2 of quelmo.cfg, or its CAT time-out is "
                             "too short"}));
}

// The adapter pulled: the port is looked for again at the next tick, its
// reason said with "lost"; plugged in again, it is found within a second.
TEST_F(LinkWatchTest, PortGoneIsLookedForAtOnceAndFoundAgain) {
  radioAnswers();
  platform.unplug(1);
  platform.portAvailable = false;
  platform.clearRecords();
  ticks(1);
  EXPECT_EQ(words(), (Words{"lost", "nodev"}));
  EXPECT_EQ(opens(), 1);
  ticks(30);
  EXPECT_EQ(words(), (Words{"lost", "nodev"}));
  EXPECT_TRUE(platform.portBytes.empty()) << "no queries into a closed port";

  platform.portAvailable = true;
  ticks(20);
  EXPECT_TRUE(platform.isPortOpen(1));
  EXPECT_FALSE(platform.commands().empty());
  radioAnswers();
  EXPECT_EQ(words(), (Words{"lost", "nodev", "connected"}));

  // Lost again later: said again.
  platform.unplug(1);
  platform.portAvailable = false;
  ticks(1);
  EXPECT_EQ(words(), (Words{"lost", "nodev", "connected", "lost", "nodev"}));
}

// A tuning on when the link goes may leave the radio transmitting with no
// one able to stop it. When the radio answers again the tuning ends at once,
// as the tune key ends it, and the operator hears so. A tune key pressed
// while the radio is lost ends the tuning in the program at once; its end
// goes to the radio, again, when it answers.
TEST_F(LinkWatchTest, TuningIsEndedWhenTheRadioAnswersAgain) {
  struct Case {
    int carrier;
    bool keyWhileLost;
    Words heardWhileLost;
    std::vector<std::string> end;
  };
  const std::vector<std::string> carrierOff = {"TX0;", "PC100;", "MD01;", "FA014200000;"};
  const Case cases[] = {
      {1, false, {"lost", "nodev"}, carrierOff},
      {1, true, {"lost", "nodev", "tune", "off", "nc"}, carrierOff},
      {0, false, {"lost", "nodev"}, {"AC001;"}},
      {0, true, {"lost", "nodev", "tune", "off", "nc"}, {"AC001;"}},
  };
  panel.powerWatts = 100;
  panel.modeIndex = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.carrier * 10 + c.keyWhileLost);
    panel.tuneCarrier = c.carrier;
    radioAnswers();
    press('T');
    ASSERT_EQ(panel.tuneActive, 1);
    platform.unplug(1);
    platform.portAvailable = false;
    platform.clearRecords();
    ticks(1);
    if (c.keyWhileLost) press('T');
    EXPECT_EQ(words(), c.heardWhileLost);
    platform.portAvailable = true;
    ticks(20);
    platform.clearRecords();
    radioAnswers();
    EXPECT_EQ(words(), (Words{"connected", "tune", "off"}));
    std::vector<std::string> sent = platform.commands();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0], "ID;");  // the radio found is asked who it is
    EXPECT_EQ(std::vector<std::string>(sent.begin() + 2, sent.end()), c.end);
    EXPECT_EQ(panel.tuneActive, 0);
    radioAnswers();  // ended once only: the poll's question alone
    EXPECT_EQ(platform.commands().size(), sent.size() + 1);
  }
}

// A read that finds the device gone with bytes waiting (a network server
// closing the connection) reads nothing, and logs no empty reply.
TEST_F(LinkWatchTest, ReadThatFindsThePortGoneLogsNothing) {
  radioAnswers();
  ticks(1);  // the meter query
  platform.queueReply("SM0120;");
  platform.goneAtNextRead = true;
  ticks(1);
  EXPECT_FALSE(platform.isPortOpen(1));
  panel.debugFile.close();
  EXPECT_EQ(readFileBytes("debug.dat").find("RX=\r\n"), std::string::npos);
}

TEST_F(LinkWatchTest, RadioThatNeverAnsweredIsNotLostButHasNoAnswer) {
  panel.openRadioPort();
  ticks(19);
  EXPECT_TRUE(words().empty());
  ticks(1);
  EXPECT_EQ(words(), Words{"noanswer"});
  EXPECT_EQ(panel.radioLost, 0);
  radioAnswers();
  EXPECT_EQ(words(), (Words{"noanswer", "connected"}));
}

}  // namespace
