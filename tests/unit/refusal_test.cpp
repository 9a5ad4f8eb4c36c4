// A command the radio refuses with "?;": which command the dialect takes it
// for, what the operator hears, what the traffic log says and what the
// program's picture of the radio gives up. Keys go through handleEvent; the
// radio's answers are queued where a radio would send them.
#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"

namespace {

using Strings = std::vector<std::string>;

// After the opening sequence and the radio's first answers: 7.1 MHz, LSB,
// the frequency focused; the next tick asks the frequency.
class RefusalTest : public AfterOpeningTest {
 protected:
  RefusalTest() {
    panel.debugFlag = 1;
    panel.openingSequence();
    panel.running = 1;
    answerNextQuestion("FA007100000;");  // finds the radio, which is asked where it is
    answerNextQuestion("ID0670;MD01;FA007100000;SM0040;");
    platform.clearRecords();
  }

  // The poll asks, and the radio's bytes are read at the next tick.
  void answerNextQuestion(const std::string& bytes) {
    tick();
    platform.queueReply(bytes);
    tick();
  }

  void type(std::string_view keys) {
    for (char c : keys) press(c == '.' ? int{key::point} : c == '\r' ? int{key::enter} : c);
  }

  // The traffic log's lines that start with the prefix.
  Strings logLines(const std::string& prefix) {
    panel.debugFile.close();
    Strings lines;
    TextFile log;
    log.open("debug.dat", "R");
    std::string line;
    while (log.readLine(line) == 0) {
      if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    }
    return lines;
  }
};

// E 9 0 0 Enter: where the radio is is asked, then the mode, the rounded
// frequency, 900 MHz and the preamp go out, and "okay" is said before the
// radio can answer (here it answers late). After its answer to the
// question, its "?;" is for the frequency, the one the FT-991A's table says
// it does not take: "refused" follows, and the program is back on the
// frequency it had.
TEST_F(RefusalTest, AFrequencyOutsideTheCoverageIsHeardAndGivenUp) {
  type("E900\r");
  EXPECT_EQ(commands(),
            (Strings{"FA;", "MD01;", "FA007100000;", "FA900000000;", "PA00;"}));
  EXPECT_EQ(words().back(), "ok");
  EXPECT_EQ(panel.frequencyHz, 900'000'000);

  platform.clearRecords();
  answerNextQuestion("FA007100000;?;");
  EXPECT_EQ(words(), Strings{"refused"});
  EXPECT_EQ(panel.frequencyHz, 7'100'000);
  press('F');
  EXPECT_EQ(words(), (Strings{"refused", "lsb", "7", "point", "1", "mhz"}));
  EXPECT_EQ(logLines("REFUSED="), Strings{"REFUSED=FA900000000;"});
}

// Two refusals on their way: each is matched to its own command, and the
// second gives the frequency back past the first, to the last one taken.
TEST_F(RefusalTest, TwoRefusedFrequenciesInARowBothGoBack) {
  type("E900\r");
  press(key::pageUp);
  answerNextQuestion("FA007100000;?;FA007100000;?;");
  EXPECT_EQ(words().end()[-2], "refused");
  EXPECT_EQ(words().back(), "refused");
  EXPECT_EQ(panel.frequencyHz, 7'100'000);
  EXPECT_EQ(logLines("REFUSED="), (Strings{"REFUSED=FA900000000;", "REFUSED=FA900010000;"}));
}

// A question the radio refuses is taken off the poll's waiting list and
// logged; it is not heard, or a radio without that meter would say
// "refused" five times a second.
TEST_F(RefusalTest, ARefusedQuestionIsLoggedNotHeard) {
  answerNextQuestion("FA007100000;");
  answerNextQuestion("?;");
  EXPECT_TRUE(words().empty());
  EXPECT_EQ(panel.pollQueries.size(), 0);
  EXPECT_EQ(logLines("REFUSED="), Strings{"REFUSED=SM0;"});
}

// With the arrows on the AF gain a key sends its one command: the "?;"
// before the next answer is that command's, though a question waits too.
// The switch goes back to what was sent before it.
TEST_F(RefusalTest, TheOneSetCommandIsRefusedRatherThanTheQuestion) {
  press('A');
  press(key::f1);
  EXPECT_EQ(commands(), Strings{"PA01;"});
  EXPECT_EQ(panel.preampOn, 1);
  answerNextQuestion("?;FA007100000;");
  EXPECT_EQ(words(), (Strings{"af", "preamp", "on", "refused"}));
  EXPECT_EQ(panel.preampOn, 0);
  EXPECT_EQ(panel.pollQueries.size(), 0) << "the question was answered after the refusal";
  EXPECT_EQ(logLines("REFUSED="), Strings{"REFUSED=PA01;"});
}

// A level goes back to the rung sent before it.
TEST_F(RefusalTest, ARefusedLevelGoesBackToTheValueBefore) {
  press('P');
  press(key::down);
  EXPECT_EQ(panel.powerWatts, 90);
  answerNextQuestion("?;");
  EXPECT_EQ(panel.powerWatts, 100);
  EXPECT_EQ(words().back(), "refused");
}

// F1 and F2, the preamp and the attenuator, both within what the radio
// takes: the refusal is heard, both are named, and neither is rolled back,
// since the other one was taken.
TEST_F(RefusalTest, OneOfSeveralIsHeardAndRollsNothingBack) {
  press(key::f1);
  press(key::f2);
  EXPECT_EQ(commands(), (Strings{"PA01;", "RA01;"}));
  answerNextQuestion("?;");
  EXPECT_EQ(words().back(), "refused");
  EXPECT_EQ(panel.preampOn, 1);
  EXPECT_EQ(panel.attenuatorOn, 1);
  EXPECT_EQ(logLines("REFUSED="), Strings{"REFUSED=one of PA01; RA01;"});
}

// A "?;" with no command waiting for an answer refuses nothing the program
// knows: logged, not heard.
TEST_F(RefusalTest, ARefusalWithNothingWaitingIsOnlyLogged) {
  tick();
  platform.queueReply("FA007100000;?;");
  tick();
  EXPECT_TRUE(words().empty());
  EXPECT_EQ(logLines("REFUSED="), Strings{"REFUSED=no command waiting"});
}

// The radio's tuner refused: the tuning never began, so the keys are not
// held as while tuning.
TEST_F(RefusalTest, ARefusedTuningIsNoTuning) {
  press('A');
  press('T');
  EXPECT_EQ(panel.tuneActive, 1);
  answerNextQuestion("?;");
  EXPECT_EQ(panel.tuneActive, 0);
  EXPECT_EQ(words(), (Strings{"af", "tune", "on", "refused"}));
  EXPECT_EQ(logLines("REFUSED="), Strings{"REFUSED=AC002;"});
}

// Q right after the refused entry: the end's last question finds the "?;"
// before its answer, and the operator hears it before "goodbye".
TEST_F(RefusalTest, ARefusalReadAtTheEndIsHeardBeforeGoodbye) {
  type("E900\r");
  platform.queueReply("FA007100000;?;FA007100000;");
  platform.clearRecords();
  press('Q');
  EXPECT_EQ(words(), (Strings{"refused", "quit"}));
  EXPECT_EQ(panel.frequencyHz, 7'100'000);
}

// With power switching a radio that is already on may refuse the wake-up
// text: that is no refusal of the operator's.
TEST(RefusalOfTheWakeUp, IsNotHeard) {
  TemporaryDirectory folder;
  ScriptedPlatform platform;
  FrontPanel panel(platform);
  panel.comPort = 1;
  panel.waveDir = "wave\\";
  panel.powerControl = 1;
  panel.powerWatts = 100;
  panel.versionText = "1.9";
  panel.openingSequence();
  platform.queueReply("?;");
  platform.clearRecords();
  for (int tick = 0; tick < 2; ++tick) panel.handleEvent(event::timerTick, 0);
  EXPECT_TRUE(platform.words().empty());
}

}  // namespace
