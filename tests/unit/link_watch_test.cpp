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

// The radio is quelmo-sim's, switched off (silent) until a test switches
// it on.
class LinkWatchTest : public ScriptedRadioTest {
 protected:
  LinkWatchTest() {
    panel.baudRate = 38400;
    panel.debugFlag = 1;
    panel.debugFile.open("debug.dat", "W");
    transceiver.switchOff();
    transceiver.setFrequency(14'200'000);
  }

  void ticks(int count) { tick(count); }

  // The radio switched on: the poll's question and its answer, which finds
  // the radio, the meter's question and the answers to those that found
  // it.
  void radioAnswers() {
    transceiver.switchOn();
    panel.awaitingReply = 0;
    panel.pollToggle = 0;
    ticks(4);
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
  EXPECT_EQ(words(), Words{"connected"});
  platform.clearRecords();
  transceiver.switchOff();
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
  EXPECT_EQ(platform.commands().back(), "NB01;");
  // The log tells when keys stopped working and when they worked again.
  EXPECT_EQ(linkLines(), (std::vector<std::string>{
                             "LINK=radio connected, port 1",
                             "LINK=radio lost, port 1: no answer: the radio is off, or its CAT "
                             "speed differs from line 2 of quelmo.cfg, or its CAT time-out is "
                             "too short",
                             "LINK=radio connected, port 1"}));
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
    transceiver.switchOff();  // plugged in again, the radio silent a while
    platform.portAvailable = true;
    ticks(20);
    platform.clearRecords();
    radioAnswers();
    EXPECT_EQ(words(), (Words{"connected", "tune", "off"}));
    // The poll's question, those that find it (the mode only when no
    // carrier's end gives it back), the meter's (the SWR's while the
    // tuning is on), and the tuning's end.
    std::vector<std::string> sent = platform.commands();
    std::vector<std::string> found = {"FA;", "ID;", "MD0;", "FA;",
                                      c.keyWhileLost ? "SM0;" : "RM6;"};
    if (c.carrier == 1) found.erase(found.begin() + 2);
    found.insert(found.end(), c.end.begin(), c.end.end());
    EXPECT_EQ(sent, found);
    EXPECT_EQ(panel.modeIndex, 1);
    EXPECT_EQ(panel.tuneActive, 0);
    radioAnswers();  // ended once only
    EXPECT_EQ(platform.commands().size(), sent.size() + 2);
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

// A radio switched on after the start missed the opening's commands: when
// it answers it gets them, "TX0" first, then "ID;" so that they go in its
// own model's forms, before it is asked where it is.
TEST_F(LinkWatchTest, RadioThatNeverAnsweredIsNotLostButHasNoAnswer) {
  panel.openRadioPort();
  ticks(19);
  EXPECT_TRUE(words().empty());
  ticks(1);
  EXPECT_EQ(words(), Words{"noanswer"});
  EXPECT_EQ(panel.radioLost, 0);
  platform.clearRecords();
  radioAnswers();
  EXPECT_EQ(words(), Words{"connected"});
  EXPECT_EQ(platform.commands(),
            (std::vector<std::string>{"FA;", "TX0;", "ID;", "MD01;", "PA00;", "RA00;", "NB00;",
                                      "NR00;", "PC100;", "AG0050;", "BC00;", "SH014;",
                                      "FA007100000;", "MD0;", "FA;", "SM0;"}));
  EXPECT_EQ(panel.frequencyHz, 7'100'000);
}

// The radio answers at the start: it had the opening's commands, which do
// not go again, and gave its identity then. It is asked its mode, then its
// frequency, and is found.
TEST_F(LinkWatchTest, RadioAnsweringAtTheStartIsFoundWithoutTheOpeningAgain) {
  radioAnswers();
  EXPECT_EQ(platform.commands(), (std::vector<std::string>{"FA;", "MD0;", "FA;", "SM0;"}));
  EXPECT_EQ(words(), Words{"connected"});
  EXPECT_EQ(panel.frequencyHz, 14'200'000);
  EXPECT_EQ(panel.foundSinceStart, 1);
}

// The adapter plugged in after a start without it, the radio on 20 m in USB:
// it is brought to the opening's state (40 m, LSB) before anything is said,
// F says that state, and the band memory the operator had (20 m) is not
// overwritten by the radio's frequency before the opening.
TEST_F(LinkWatchTest, RadioFoundAfterAStartWithoutItGetsTheOpeningsState) {
  transceiver.switchOn();
  transceiver.setMode('2');
  transceiver.setFrequency(14'250'000);
  panel.bandHz[6] = 14'074'000;
  panel.bandMode[6] = "2";
  platform.portAvailable = false;
  panel.openRadioPort();  // as at the start
  ticks(30);
  EXPECT_EQ(words(), Words{"nodev"});
  platform.portAvailable = true;
  platform.clearRecords();
  ticks(22);
  EXPECT_EQ(words(), Words{"connected"});
  EXPECT_EQ(transceiver.frequencyHz(), 7'100'000);
  EXPECT_EQ(transceiver.modeCharacter(), '1');
  EXPECT_EQ(transceiver.setting("PC"), "100");
  EXPECT_EQ(panel.bandHz[6], 14'074'000);
  EXPECT_EQ(panel.bandMode[6], "2");
  platform.clearRecords();
  press('F');
  EXPECT_EQ(words(), (Words{"lsb", "7", "point", "1", "mhz"}));
}

// With power switching, a port that appears after the start gets the
// wake-up and "PS1" with their pauses, so a radio that is off is switched
// on and found. Once it has been found, a port that comes back after a
// loss does not: the operator may have switched the radio off.
TEST_F(LinkWatchTest, WithPowerSwitchingAPortFoundLaterSwitchesTheRadioOn) {
  panel.powerControl = 1;
  platform.portAvailable = false;
  panel.openRadioPort();
  ticks(5);
  platform.portAvailable = true;
  platform.clearRecords();
  ticks(22);
  std::vector<std::string> sent = platform.commands();
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 2),
            (std::vector<std::string>{"Power on;", "PS1;"}));
  EXPECT_EQ(std::count_if(platform.sounds.begin(), platform.sounds.end(),
                          [](const SoundRequest& sound) { return sound.pause; }),
            2);
  EXPECT_TRUE(transceiver.poweredOn());
  EXPECT_EQ(words(), (Words{"delay", "delay", "connected"}));

  platform.unplug(1);
  platform.portAvailable = false;
  ticks(5);
  platform.portAvailable = true;
  platform.clearRecords();
  ticks(22);
  sent = platform.commands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "PS1;"), 0);
  EXPECT_EQ(words(), Words{"connected"});
}

// Switched off and on again, its mode changed at the radio meanwhile: the
// radio is asked its mode before F can say it, and nothing is sent to
// change it back.
TEST_F(LinkWatchTest, RadioFoundAgainIsAskedItsModeBeforeFSaysIt) {
  radioAnswers();
  transceiver.switchOff();
  ticks(25);
  EXPECT_EQ(panel.radioLost, 1);
  transceiver.setMode('2');
  transceiver.setFrequency(14'230'000);
  platform.clearRecords();
  radioAnswers();
  EXPECT_EQ(platform.commands(), (std::vector<std::string>{"FA;", "ID;", "MD0;", "FA;", "SM0;"}));
  press('F');
  EXPECT_EQ(words(), (Words{"connected", "usb", "1", "4", "point", "2", "3", "mhz"}));
  EXPECT_EQ(panel.modeIndex, 2);
}

}  // namespace
