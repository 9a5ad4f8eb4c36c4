// The rigctld dialect on the scripted platform: the command lines each
// operation sends, the replies matched to their commands by name, the
// capabilities and what the radio lacks, refusals, a radio that does not
// answer rigctld, and the pace of the questions. rigctld's replies are
// queued as rigctld sends them (Hamlib 4.5's extended responses).
#include "radio/rigctld/rigctld_radio.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/scripted_platform.h"
#include "state/named_values.h"

namespace {

using Strings = std::vector<std::string>;
using Kind = Operation::Kind;

// rigctld's "\dump_caps" for a radio with a 12 dB preamp and attenuator,
// without the noise reduction and the SWR meter.
const std::string kenwoodCaps =
    "dump_caps:\n"
    "Caps dump for model: 2037\n"
    "Model name:\tTS-590SG\n"
    "Mfg name:\tKenwood\n"
    "Preamp: 12dB\n"
    "Attenuator: 12dB 24dB\n"
    "Set functions: NB COMP VOX ANF TUNER \n"
    "Get level: PREAMP(0..0/0) ATT(0..0/0) AF(0..0/0) STRENGTH(0..0/0) \n"
    "Set level: PREAMP(0..0/0) ATT(0..0/0) AF(0..0/0) RF(0..0/0) RFPOWER(0..0/0) \n"
    "VFO Ops: UP DOWN TUNE \n"
    "Can set PTT:\tY\n"
    "Can set Power Stat:\tY\n"
    "RPRT 0\n";

// Hamlib's dummy radio's, in short: it has everything.
const std::string dummyCaps =
    "dump_caps:\nCaps dump for model: 1\nModel name:\tDummy\nMfg name:\tHamlib\n"
    "Preamp: 10dB\nAttenuator: 10dB 20dB 30dB\nSet functions: NB NR ANF COMP TUNER\n"
    "Set level: PREAMP ATT AF RF RFPOWER\nGet level: STRENGTH SWR\nVFO Ops: TUNE\nRPRT 0\n";

class RigctldTest : public ::testing::Test {
 protected:
  RigctldTest() {
    platform.openNetworkLink(port, "127.0.0.1:4532");
    radio.linkOpened();
  }

  // The command lines sent since the last look, without "+" and "\n".
  Strings sent() {
    Strings lines;
    std::string bytes = platform.portBytes.substr(looked_);
    looked_ = platform.portBytes.size();
    for (std::size_t end; (end = bytes.find('\n')) != std::string::npos; bytes.erase(0, end + 1)) {
      EXPECT_EQ(bytes[0], '+') << bytes.substr(0, end);
      lines.push_back(bytes.substr(1, end - 1));
    }
    return lines;
  }

  std::vector<Reading> reply(const std::string& bytes) {
    platform.queueReply(bytes);
    return radio.read();
  }

  // The capabilities asked at the connection (with the first operation),
  // and answered.
  void knowCapabilities(const std::string& caps = kenwoodCaps) {
    radio.ask(Question::frequency);
    ASSERT_EQ(sent(), (Strings{"\\dump_caps", "f"}));
    reply(caps + "get_freq:\nFrequency: 7100000\nRPRT 0\n");
  }

  ScriptedPlatform platform;
  int port = rigctldPort;
  Strings log;
  rigctld::RigctldRadio radio{platform, port,
                              [this](std::string_view line) { log.emplace_back(line); }};

 private:
  std::size_t looked_ = 0;
};

TEST_F(RigctldTest, EachOperationGoesOutInRigctldsCommands) {
  knowCapabilities();
  radio.setMode(2);
  // Asked once the frequency and mode are known, with the next operation.
  EXPECT_EQ(sent(), (Strings{"M USB -1", "\\power2mW 1 7100000 USB"}));
  radio.setFrequency(14'200'000);
  radio.setLevel(Level::width, 14);
  radio.setLevel(Level::afGain, 50);
  radio.setLevel(Level::rfGain, 255);
  radio.setFunction(Function::preamp, true);
  radio.setFunction(Function::preamp, false);
  radio.setFunction(Function::attenuator, true);
  radio.setFunction(Function::noiseBlanker, true);
  radio.setFunction(Function::notch, false);
  radio.setFunction(Function::processor, true);
  radio.transmit(true);
  radio.transmit(false);
  radio.tune(true);
  radio.tune(false);  // the radio's tuning ends by itself
  radio.switchPower(false);
  radio.wakeUp();  // rigctld wakes the radio itself
  radio.ask(Question::mode);
  radio.ask(Question::sMeter);
  EXPECT_EQ(sent(),
            (Strings{"F 14200000", "M USB 2400", "L AF 0.196078", "L RF 1.000000", "L PREAMP 12",
                     "L PREAMP 0", "L ATT 12", "U NB 1", "U ANF 0", "U COMP 1", "T 1", "T 0",
                     "U TUNER 1", "G TUNE", "\\set_powerstat 0", "m", "l STRENGTH"}));
  // The power in the radio's scale, as rigctld converts it, on the
  // frequency and mode the radio is on.
  radio.setLevel(Level::power, 50);
  EXPECT_EQ(sent(), (Strings{"\\mW2power 50000 14200000 USB"}));
  reply("mW2power: 50000 14200000 USB\nPower [0.0..1.0]: 0.500000\nRPRT 0\n");
  EXPECT_EQ(sent(), (Strings{"L RFPOWER 0.500000"}));
  EXPECT_TRUE(reply("set_level: RFPOWER 0.500000\nRPRT 0\n").empty());
}

// The opening sequence's commands come before rigctld has answered
// anything: they wait for the capabilities, and the questions asked after
// them wait behind them, so every answer tells of the radio after them.
// The power waits for the frequency it is converted for; what the radio
// lacks is never sent.
TEST_F(RigctldTest, SetCommandsWaitForTheCapabilitiesAndWhatTheRadioLacksIsNotSent) {
  radio.transmit(false);
  radio.setMode(1);
  radio.setFunction(Function::noiseReduction, false);
  radio.setLevel(Level::power, 100);
  radio.setFrequency(7'100'000);
  radio.ask(Question::frequency);
  radio.ask(Question::swr);
  EXPECT_EQ(sent(), (Strings{"\\dump_caps"}));
  EXPECT_TRUE(reply(kenwoodCaps).empty());
  EXPECT_EQ(sent(), (Strings{"T 0", "M LSB -1", "F 7100000", "\\power2mW 1 7100000 LSB",
                             "\\mW2power 100000 7100000 LSB", "f"}));
  EXPECT_TRUE(radio.facts().lacks(Function::noiseReduction));
  EXPECT_FALSE(radio.facts().lacks(Function::notch));
  EXPECT_FALSE(radio.facts().lacks(Feature::tuner));
  radio.setFunction(Function::noiseReduction, true);
  EXPECT_FALSE(radio.ask(Question::swr));
  EXPECT_EQ(sent(), Strings{});
  // The radio's maximum cuts the P key's ladder.
  reply("power2mW: 1 7100000 LSB\nPower mW: 10000\nRPRT 0\n");
  EXPECT_EQ(std::vector<int>(radio.facts().powerLadder.begin(), radio.facts().powerLadder.end()),
            (std::vector<int>{5, 10}));
}

TEST_F(RigctldTest, RepliesAreReadByTheCommandTheyNameWhateverTheReadsCut) {
  knowCapabilities(dummyCaps);
  radio.ask(Question::frequency);
  radio.ask(Question::mode);
  radio.ask(Question::sMeter);
  radio.ask(Question::swr);
  std::string replies =
      "get_freq:\nFrequency: 14250000\nRPRT 0\n"
      "get_mode:\nMode: CWR\nPassband: 500\nRPRT 0\n"
      "get_level: STRENGTH\n-19\nRPRT 0\n"
      "get_level: SWR\n0.000000\nRPRT 0\n";
  std::vector<Reading> readings = reply(replies.substr(0, 30));
  EXPECT_TRUE(readings.empty());
  readings = reply(replies.substr(30));
  ASSERT_EQ(readings.size(), 4U);
  EXPECT_EQ(readings[0].kind, Reading::Kind::frequency);
  EXPECT_EQ(readings[0].value, 14'250'000);
  EXPECT_EQ(readings[1].mode, (RadioMode{3, 1}));  // CW on the lower side
  EXPECT_EQ(readings[2].kind, Reading::Kind::sMeter);
  EXPECT_EQ(readings[2].value, -19);  // dB over S9: S6
  EXPECT_EQ(readings[3].kind, Reading::Kind::swr);
  EXPECT_EQ(readings[3].value, swrMatchedTenths);  // not transmitting: 1.0
  radio.ask(Question::swr);
  EXPECT_EQ(reply("get_level: SWR\n1.540000\nRPRT 0\n").at(0).value, 15);
  // The width goes with the mode the radio reported.
  radio.setLevel(Level::width, 9);
  EXPECT_EQ(sent().back(), "M CWR 1800");

  // A mode with no word is mode 0. An answer passed over answers nothing
  // any more (rigctld answers in order: its question was lost); an answer
  // to nothing waiting, and noise, are no readings either.
  radio.ask(Question::frequency);
  radio.ask(Question::mode);
  readings = reply(
      "get_mode:\nMode: PKTUSB\nPassband: 3000\nRPRT 0\n"
      "get_freq:\nFrequency: 7074000\nRPRT 0\n"
      "\x01garbled\nRPRT 0\n");
  ASSERT_EQ(readings.size(), 3U);
  EXPECT_EQ(readings[0].mode, (RadioMode{0, 0}));
  EXPECT_EQ(readings[1].kind, Reading::Kind::unknown);
  EXPECT_EQ(readings[2].kind, Reading::Kind::unknown);
  EXPECT_EQ(radio.facts().lacking, 0U);
}

// Hamlib 4.5's rigctld refuses to convert a power within the range of a
// radio whose backend has no conversion of its own (RPRT -10, as the
// TS-590S's answers): the power is then converted from the radio's maximum,
// or from 100 W when rigctld cannot tell that either. Nothing is refused.
TEST_F(RigctldTest, APowerRigctldWillNotConvertIsWorkedOutFromTheRadiosMaximum) {
  knowCapabilities();
  radio.setMode(1);
  EXPECT_EQ(sent(), (Strings{"M LSB -1", "\\power2mW 1 7100000 LSB"}));
  reply("set_mode: LSB -1\nRPRT 0\npower2mW: 1 7100000 LSB\nRPRT -11\n");
  radio.setLevel(Level::power, 20);
  EXPECT_EQ(sent(), (Strings{"\\mW2power 20000 7100000 LSB"}));
  EXPECT_TRUE(reply("mW2power: 20000 7100000 LSB\nRPRT -10\n").empty());
  EXPECT_EQ(sent(), (Strings{"L RFPOWER 0.200000"}));

  radio.linkOpened();
  knowCapabilities();
  EXPECT_EQ(sent(), (Strings{"\\power2mW 1 7100000 LSB"}));
  reply("power2mW: 1 7100000 LSB\nPower mW: 10000\nRPRT 0\n");
  radio.setLevel(Level::power, 5);
  sent();
  EXPECT_TRUE(reply("mW2power: 5000 7100000 LSB\nRPRT -10\n").empty());
  EXPECT_EQ(sent(), (Strings{"L RFPOWER 0.500000"}));
  // Refused, the setting itself is the power's refusal, its value given back.
  std::vector<Reading> readings = reply("set_level: RFPOWER 0.500000\nRPRT -9\n");
  ASSERT_EQ(readings.size(), 1U);
  EXPECT_EQ(readings[0].kind, Reading::Kind::refused);
  EXPECT_EQ(readings[0].refused.level, Level::power);
  EXPECT_EQ(readings[0].refused.value, 5);
}

// The carrier: its low power is set before the transmitter goes on, however
// long rigctld takes to convert it, converted by rigctld or worked out here;
// transmitting off goes at once, and a carrier not yet keyed then never is.
TEST_F(RigctldTest, TheCarriersTransmitterGoesOnOnlyAfterItsLowPower) {
  knowCapabilities(dummyCaps);
  radio.setMode(4);
  sent();
  radio.setLevel(Level::power, 5);
  radio.setMode(4);
  radio.transmit(true);
  EXPECT_EQ(sent(), (Strings{"\\mW2power 5000 7100000 AM", "M AM -1"}));
  reply("mW2power: 5000 7100000 AM\nPower [0.0..1.0]: 0.050000\nRPRT 0\n");
  EXPECT_EQ(sent(), (Strings{"L RFPOWER 0.050000", "T 1"}));

  radio.transmit(false);
  EXPECT_EQ(sent(), (Strings{"T 0"}));
  radio.setLevel(Level::power, 5);
  radio.transmit(true);
  radio.transmit(false);  // ended before the power was set: never keyed
  reply("mW2power: 5000 7100000 AM\nRPRT -10\n");
  EXPECT_EQ(sent(), (Strings{"\\mW2power 5000 7100000 AM", "T 0", "L RFPOWER 0.050000"}));
}

// "RPRT n" below 0 refuses exactly the command named: the value sent before
// it comes back. -11 and -4 say the radio lacks it: it is not sent again.
TEST_F(RigctldTest, RefusalsAndWhatTheRadioTurnsOutToLack) {
  knowCapabilities();
  radio.setFrequency(14'200'000);
  radio.setFrequency(900'000'000);
  radio.setFunction(Function::processor, true);
  sent();
  std::vector<Reading> readings = reply(
      "set_freq: 14200000\nRPRT 0\n"
      "set_freq: 900000000\nRPRT -1\n"
      "set_func: COMP 1\nRPRT -11\n");
  ASSERT_EQ(readings.size(), 2U);
  EXPECT_EQ(readings[0].kind, Reading::Kind::refused);
  EXPECT_EQ(readings[0].refused.kind, Kind::frequency);
  EXPECT_EQ(readings[0].refused.value, 900'000'000);
  EXPECT_EQ(readings[0].before, 14'200'000);
  EXPECT_FALSE(readings[0].lacking);
  EXPECT_EQ(readings[1].refused.function, Function::processor);
  EXPECT_TRUE(readings[1].lacking);
  EXPECT_TRUE(radio.facts().lacks(Function::processor));
  radio.setFunction(Function::processor, true);
  EXPECT_EQ(sent(), Strings{});
  EXPECT_EQ(log.back(), "REFUSED=+U COMP 1");

  // A question refused is a refused question; one the radio lacks is asked
  // no more.
  radio.ask(Question::sMeter);
  readings = reply("get_level: STRENGTH\nRPRT -4\n");
  ASSERT_EQ(readings.size(), 1U);
  EXPECT_EQ(readings[0].refused.question, Question::sMeter);
  EXPECT_FALSE(radio.ask(Question::sMeter));
}

// rigctld answers for a radio that does not answer it: timed out (-5), its
// port failed (-6), switched off (-20), or done without the value, as
// Hamlib 4.5's rigctld answers every question while the radio is off.
TEST_F(RigctldTest, ARadioThatDoesNotAnswerRigctldIsAbsentWithTheReason) {
  knowCapabilities();
  struct Case {
    std::string reply;
    bool off;
  };
  for (const Case& c : {Case{"get_freq:\nRPRT -5\n", false}, Case{"get_freq:\nRPRT -6\n", false},
                        Case{"get_freq:\nRPRT -20\n", true}, Case{"get_freq:\nRPRT 0\n", true}}) {
    SCOPED_TRACE(c.reply);
    radio.ask(Question::frequency);
    std::vector<Reading> readings = reply(c.reply);
    ASSERT_EQ(readings.size(), 1U);
    EXPECT_EQ(readings[0].kind, Reading::Kind::absent);
    EXPECT_EQ(readings[0].switchedOff, c.off);
    EXPECT_EQ(readings[0].refused.question, Question::frequency);
  }
}

// While rigctld waits for a slow radio, a question asked before the last
// read is not asked again, so none pile up at rigctld; a set command after
// it makes a new answer worth asking for. An answer more than a second late
// is no reading, as the poll has given its question up.
TEST_F(RigctldTest, QuestionsDoNotPileUpBehindASlowRadioAndLateAnswersAreNone) {
  knowCapabilities();
  radio.ask(Question::frequency);
  EXPECT_EQ(sent(), (Strings{"f"}));
  radio.ask(Question::frequency);  // no read between: the poll at the end asks again
  EXPECT_EQ(sent(), (Strings{"f"}));
  radio.read();
  radio.ask(Question::frequency);
  EXPECT_EQ(sent(), Strings{});
  radio.setFrequency(7'000'000);
  radio.ask(Question::frequency);
  EXPECT_EQ(sent(), (Strings{"F 7000000", "f"}));
  for (int i = 0; i < 10; ++i) radio.read();
  std::vector<Reading> readings = reply(
      "get_freq:\nFrequency: 7100000\nRPRT 0\n"
      "get_freq:\nFrequency: 7100000\nRPRT 0\n"
      "set_freq: 7000000\nRPRT 0\n"
      "get_freq:\nFrequency: 7000000\nRPRT 0\n");
  ASSERT_EQ(readings.size(), 3U);
  EXPECT_EQ(readings[0].kind, Reading::Kind::unknown);
  EXPECT_EQ(readings[1].kind, Reading::Kind::unknown);
  EXPECT_EQ(readings[2].kind, Reading::Kind::unknown);
  radio.ask(Question::frequency);
  EXPECT_EQ(reply("get_freq:\nFrequency: 7000000\nRPRT 0\n").at(0).kind, Reading::Kind::frequency);
}

// A new connection: nothing sent before it is answered any more, and the
// capabilities are asked again (rigctld may serve another radio now).
TEST_F(RigctldTest, ANewConnectionForgetsWhatWasWaitingAndAsksTheCapabilitiesAgain) {
  knowCapabilities();
  radio.ask(Question::frequency);
  sent();
  radio.linkOpened();
  radio.setFunction(Function::noiseReduction, true);  // waits for the new capabilities
  radio.ask(Question::sMeter);
  EXPECT_EQ(sent(), (Strings{"\\dump_caps"}));
  EXPECT_EQ(reply("get_freq:\nFrequency: 7100000\nRPRT 0\n").at(0).kind, Reading::Kind::unknown);
  reply(dummyCaps);
  EXPECT_EQ(sent(), (Strings{"U NR 1", "l STRENGTH"}));
  EXPECT_FALSE(radio.facts().lacks(Function::noiseReduction));
}

// The program's identity question is the dialect's own capabilities
// question when that still waits: one "\dump_caps", one reading.
TEST_F(RigctldTest, TheIdentityIsTheModelRigctldServes) {
  EXPECT_TRUE(radio.ask(Question::identity));
  EXPECT_EQ(sent(), (Strings{"\\dump_caps"}));
  std::vector<Reading> readings = reply(kenwoodCaps);
  ASSERT_EQ(readings.size(), 1U);
  EXPECT_EQ(readings[0].kind, Reading::Kind::identity);
  EXPECT_EQ(readings[0].identity, "Kenwood TS-590SG");
  EXPECT_EQ(readings[0].value, 2037);
}

}  // namespace
