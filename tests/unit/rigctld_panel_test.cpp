// The program through rigctld on the scripted platform: the option that
// chooses it, the keys of what the radio lacks, a refusal for a function it
// turns out to lack, and rigctld's word of a radio that does not answer or
// is switched off, as the link watch says it.
#include <algorithm>
#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"

namespace {

using Strings = std::vector<std::string>;

// A radio without the noise reduction and the attenuator.
const std::string caps =
    "dump_caps:\nCaps dump for model: 3073\nModel name:\tIC-7300\nMfg name:\tIcom\n"
    "Preamp: 10dB 20dB\nAttenuator: None\nSet functions: NB COMP ANF TUNER\n"
    "Set level: PREAMP ATT AF RF RFPOWER\nGet level: STRENGTH SWR\nVFO Ops: TUNE\nRPRT 0\n";
const std::string onFortyMetres = "get_freq:\nFrequency: 7100000\nRPRT 0\n";
const std::string inLsb = "get_mode:\nMode: LSB\nPassband: 2400\nRPRT 0\n";

class RigctldPanelTest : public AfterOpeningTest {
 protected:
  RigctldPanelTest() {
    panel.debugFlag = 1;
    panel.rigctldAddress = "127.0.0.1:4532";
    panel.chooseRadio();
    panel.openingSequence();
    panel.running = 1;
    tick();  // the poll's question: the capabilities go first
    platform.queueReply(caps);
    tick();  // read: the opening sequence's commands go, then the question
    tick();
    platform.queueReply(onFortyMetres);
    tick();  // found: its mode and frequency asked
    tick();
    platform.queueReply(inLsb + onFortyMetres);
    tick();  // connected
    platform.clearRecords();
  }

  // The command lines sent since the records were cleared, but the poll's.
  Strings keyCommands() const {
    Strings lines;
    std::string bytes = platform.portBytes;
    for (std::size_t end; (end = bytes.find('\n')) != std::string::npos; bytes.erase(0, end + 1)) {
      std::string line = bytes.substr(1, end - 1);
      if (line != "f" && line != "l STRENGTH") lines.push_back(line);
    }
    return lines;
  }
};

TEST_F(RigctldPanelTest, TheOptionChoosesRigctldOnItsOwnPort) {
  EXPECT_EQ(panel.comPort, rigctldPort);
  EXPECT_EQ(panel.connectedSpoken, 1);
  EXPECT_EQ(panel.frequencyHz, 7'100'000);
  EXPECT_TRUE(platform.isPortOpen(rigctldPort));
}

// F2 and F4: the radio has no attenuator and no noise reduction. The key
// says so and sends nothing; the flag stays off.
TEST_F(RigctldPanelTest, TheKeyOfAFunctionTheRadioLacksSaysSo) {
  press(key::f2);
  press(key::f4);
  press(key::f3);
  EXPECT_EQ(words(), (Strings{"at", "notavailable", "nr", "notavailable", "nb", "on"}));
  EXPECT_EQ(keyCommands(), (Strings{"U NB 1"}));
  EXPECT_EQ(panel.attenuatorOn, 0);
  EXPECT_EQ(panel.noiseReductionOn, 0);
  EXPECT_EQ(panel.noiseBlankerOn, 1);
}

// F6: the capabilities list the processor, but the radio refuses it as one
// it lacks. "not available" follows the key's words, once; the flag goes
// back, and the key says so from then on without sending it.
TEST_F(RigctldPanelTest, AFunctionTheRadioTurnsOutToLackIsHeardOnceAndNotSentAgain) {
  press(key::f6);
  tick();
  platform.queueReply("set_func: COMP 1\nRPRT -11\n");
  tick();
  EXPECT_EQ(words(), (Strings{"spc", "on", "notavailable"}));
  EXPECT_EQ(panel.processorOn, 0);
  platform.clearRecords();
  press(key::f6);
  EXPECT_EQ(words(), (Strings{"spc", "notavailable"}));
  EXPECT_EQ(keyCommands(), (Strings{}));
}

// rigctld answers that the radio is switched off: after a second the radio
// is lost, "radio off" the reason, said once; the connection to rigctld
// stays. The radio's next frequency says "connected".
TEST_F(RigctldPanelTest, ARadioSwitchedOffBehindRigctldIsLostWithItsReason) {
  for (int second = 0; second < 3; ++second) {
    for (int i = 0; i < 10; ++i) {
      tick();
      platform.queueReply(panel.pollToggle == 1 ? "get_freq:\nRPRT 0\n"
                                                : "get_level: STRENGTH\nRPRT 0\n");
      tick();
    }
  }
  EXPECT_EQ(words(), (Strings{"lost", "radiooff"}));
  EXPECT_EQ(std::count_if(platform.calls.begin(), platform.calls.end(),
                          [](const std::string& call) { return call.starts_with("open"); }),
            0);
  press('F');
  EXPECT_EQ(words().back(), "nc");
  platform.clearRecords();
  panel.pollToggle = 0;
  tick();
  platform.queueReply(onFortyMetres);
  tick();  // found: asked its mode and frequency
  tick();
  platform.queueReply(inLsb + onFortyMetres);
  tick();
  EXPECT_EQ(words(), (Strings{"connected"}));
}

// rigctld cannot ask the radio (it timed out): the reason is that.
TEST_F(RigctldPanelTest, ARadioThatDoesNotAnswerRigctldIsLostWithItsReason) {
  for (int i = 0; i < 12; ++i) {
    tick();
    platform.queueReply(panel.pollToggle == 1 ? "get_freq:\nRPRT -5\n"
                                              : "get_level: STRENGTH\nRPRT -5\n");
    tick();
  }
  EXPECT_EQ(words(), (Strings{"lost", "noanswer"}));
  panel.debugFile.close();
  EXPECT_NE(readFileBytes("debug.dat")
                .find("LINK=radio lost, rigctld at 127.0.0.1:4532: rigctld "
                      "gets no answer from the radio"),
            std::string::npos);
}

// rigctld says nothing while it waits for the radio, then answers that the
// radio did not answer it: two reasons of one word, "no answer", heard once;
// the traffic log has both.
TEST_F(RigctldPanelTest, RigctldSilentThenItsRadioSilentIsNoAnswerHeardOnce) {
  for (int i = 0; i < 24; ++i) tick();
  EXPECT_EQ(words(), (Strings{"lost", "noanswer"}));
  for (int i = 0; i < 24; ++i) {
    tick();
    platform.queueReply("get_freq:\nRPRT -5\nget_level: STRENGTH\nRPRT -5\n");
    tick();
  }
  EXPECT_EQ(words(), (Strings{"lost", "noanswer"}));
  panel.debugFile.close();
  std::string log = readFileBytes("debug.dat");
  EXPECT_NE(log.find("LINK=radio lost, rigctld at 127.0.0.1:4532: no answer from rigctld"),
            std::string::npos);
  EXPECT_NE(log.find("LINK=rigctld at 127.0.0.1:4532: rigctld gets no answer from the radio"),
            std::string::npos);
}

class RigctldOptionTest : public FrontPanelTest {};

// The address in digits with its port; a host name is taken here and the
// link says "address not in digits". Line 1 names no port of the radio's
// then, and is not reported.
TEST_F(RigctldOptionTest, TheAddressIsTakenWithItsPortAndLineOneIsNotUsed) {
  struct Case {
    std::string line;
    std::string address;
  };
  const std::vector<Case> cases = {
      {"RIGCTLD=127.0.0.1:4532", "127.0.0.1:4532"},
      {"rigctld = [::1]:4533", "[::1]:4533"},
      {"RIGCTLD=radio-pc:4532", "radio-pc:4532"},
      {"RIGCTLD=127.0.0.1", ""},
      {"RIGCTLD=127.0.0.1:", ""},
      {"RIGCTLD=127.0.0.1:70000", ""},
      {"RIGCTLD=:4532", ""},
      {"RIGCTLD=127.0.0.1 :4532", ""},
      {"RIGCTLD=", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    FrontPanel fresh(platform);
    writeFileBytes("quelmo.cfg",
                   "radio\r\nSPEED=38400\r\nPOWER=100\r\nSWR=0\r\nTUN=0\r\n"
                   "BANDMAX=7\r\nPWRCTL=0\r\nDEBUG=0\r\n" +
                       c.line + "\r\n");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(fresh.readConfiguration());
    std::string problems = testing::internal::GetCapturedStderr();
    EXPECT_EQ(fresh.rigctldAddress, c.address);
    EXPECT_EQ(fresh.comPort, c.address.empty() ? 0 : rigctldPort);
    EXPECT_EQ(problems.find("line 9") != std::string::npos, c.address.empty()) << problems;
    EXPECT_EQ(problems.find("names no port") != std::string::npos, c.address.empty()) << problems;
  }
}

}  // namespace
