#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "state/band_table.h"

namespace {

using Words = std::vector<std::string>;
using Commands = std::vector<std::string>;

// The radio found (connected): its readings are taken.
class PollTest : public AfterOpeningTest {
 protected:
  PollTest() { panel.connectedSpoken = 1; }

  // One query tick and the reading tick after it, the radio answering bytes.
  void answer(const std::string& bytes) {
    tick();
    platform.queueReply(bytes);
    tick();
  }

  // The frequency query is the next one to go out.
  void answerFrequency(const std::string& bytes) {
    panel.pollToggle = 0;
    answer(bytes);
  }
};

TEST_F(PollTest, FourTickCycleAsksFrequencyThenMeter) {
  for (int i = 0; i < 4; ++i) tick();
  EXPECT_EQ(commands(), (Commands{"FA;", "SM0;"}));
  EXPECT_EQ(panel.awaitingReply, 0);

  panel.tuneActive = 1;
  for (int i = 0; i < 4; ++i) tick();
  EXPECT_EQ(commands(), (Commands{"FA;", "SM0;", "FA;", "RM6;"}));
}

TEST_F(PollTest, MissingReplyIsNotAskedAgain) {
  tick();
  tick();
  tick();
  EXPECT_EQ(commands(), (Commands{"FA;", "SM0;"}));
  EXPECT_TRUE(words().empty());
}

TEST_F(PollTest, FrequencyReplyUpdatesFrequencyDisplayAndBand) {
  answerFrequency("FA014200000;");
  EXPECT_EQ(panel.frequencyHz, 14200000);
  EXPECT_EQ(panel.freqDisplay, " 14.200000");
  EXPECT_EQ(panel.reportedHz, 14200000);
  EXPECT_EQ(panel.bandIndex, 6);
  EXPECT_EQ(panel.bandHz[6], 14200000);
  ASSERT_EQ(platform.printed.size(), 1u);
  EXPECT_EQ(platform.printed[0].x, 285);
  EXPECT_EQ(platform.printed[0].y, 150);
  EXPECT_EQ(platform.printed[0].text, " 14.200000" + std::string(13, ' '));
  EXPECT_TRUE(words().empty());

  answerFrequency("FA014210000;");
  EXPECT_EQ(panel.freqDisplay, " 14.210000");
}

TEST_F(PollTest, DisplayRightAlignsTheMegahertz) {
  const std::pair<const char*, const char*> cases[] = {
      {"FA144300000;", "144.300000"},
      {"FA007100000;", "  7.100000"},
      {"FA000136000;", "   .136000"},
  };
  for (const auto& [reply, display] : cases) {
    answerFrequency(reply);
    EXPECT_EQ(panel.freqDisplay, display) << reply;
  }
  EXPECT_EQ(panel.frequencyHz, 136000);
  answerFrequency("FA144300000;");
  EXPECT_EQ(panel.bandIndex, 12);
  answerFrequency("FA007100000;");
  EXPECT_EQ(panel.bandIndex, 4);
}

TEST_F(PollTest, ReplyCutShortByTheReadChangesNothing) {
  answerFrequency("FA007100000;");
  platform.clearRecords();
  answerFrequency("FA0142");
  EXPECT_EQ(panel.frequencyHz, 7100000);
  EXPECT_EQ(panel.freqDisplay, "  7.100000");
  EXPECT_EQ(panel.reportedHz, 7100000);
  EXPECT_EQ(panel.bandIndex, 4);
  EXPECT_TRUE(platform.printed.empty());

  answer("SM01");
  EXPECT_EQ(panel.sMeterDb, sZeroDb);
  EXPECT_TRUE(platform.printed.empty());
}

// A slow line or a late radio: every reply arrives across two reads, the
// next reply's start behind the last one's end. Each reply is joined up.
TEST_F(PollTest, RepliesStraddlingTheReadsAreJoined) {
  answerFrequency("FA0142");
  EXPECT_EQ(panel.frequencyHz, 0);
  answer("00000;SM0");
  EXPECT_EQ(panel.frequencyHz, 14200000);
  EXPECT_EQ(panel.freqDisplay, " 14.200000");
  answer("120;FA0071");
  EXPECT_EQ(panel.sMeterDb, -6);  // S8
  answer("00000;");
  EXPECT_EQ(panel.frequencyHz, 7100000);
  EXPECT_EQ(panel.bandIndex, 4);
  EXPECT_EQ(panel.radio->unfinished(), "");
}

// Noise with no ";" costs at most the reply it runs into, never more.
TEST_F(PollTest, LeftoverNoiseIsDroppedWithTheReplyItSpoils) {
  answerFrequency("FA014200000;");
  answer("#");
  answerFrequency("FA007100000;");
  EXPECT_EQ(panel.frequencyHz, 14200000);
  answerFrequency("FA007100000;");
  EXPECT_EQ(panel.frequencyHz, 7100000);
  answer("0123456789012345678901234567890123456789");  // longer than any reply: nothing is kept
  EXPECT_EQ(panel.radio->unfinished(), "");
}

TEST_F(PollTest, CutShortFirstReplyIsNotConnected) {
  panel.connectedSpoken = 0;
  answerFrequency("FA01420");
  EXPECT_EQ(panel.connectedSpoken, 0);
  EXPECT_EQ(panel.frequencyHz, 0);
  EXPECT_TRUE(words().empty());
}

// Eight digits from a radio that gives nine (the FT-991A's table): no
// reading, and the radio is not connected by it.
TEST_F(PollTest, AReplyOfAnotherLengthIsNoFrequency) {
  panel.connectedSpoken = 0;
  panel.bandStepPending = 1;
  answerFrequency("FA14200000;");
  EXPECT_EQ(panel.frequencyHz, 0);
  EXPECT_EQ(panel.reportedHz, 0);
  EXPECT_EQ(panel.connectedSpoken, 0);
  EXPECT_EQ(panel.freqDisplay, "");
  EXPECT_EQ(panel.bandStepPending, 1);
  EXPECT_TRUE(platform.printed.empty());
  EXPECT_TRUE(words().empty());
  EXPECT_EQ(panel.foreignReply, "FA14200000;");
}

TEST_F(PollTest, GarbledRepliesChangeNothing) {
  answerFrequency("FA014200000;");
  platform.clearRecords();
  for (const char* garbled : {"FA-00001420;", "FA 14200000;", "FA0142x0000;", "FA;"}) {
    answerFrequency(garbled);
  }
  answer("SM0-12;");
  answer("RM6 99;");
  EXPECT_EQ(panel.frequencyHz, 14200000);
  EXPECT_EQ(panel.freqDisplay, " 14.200000");
  EXPECT_EQ(panel.sMeterDb, sZeroDb);
  EXPECT_EQ(panel.swrTenths, swrMatchedTenths);
  EXPECT_TRUE(platform.printed.empty());
}

// A radio or an interface that echoes every command sends the question
// back before its answer: the echo is no reading ("SM0;" is no S0).
TEST_F(PollTest, AnEchoedQuestionIsNoReading) {
  answerFrequency("FA014200000;");
  platform.clearRecords();
  answer("SM0;SM0120;");
  EXPECT_EQ(panel.sMeterDb, -6);  // S8
  ASSERT_EQ(platform.printed.size(), 1u);
  EXPECT_EQ(platform.printed[0].text, "S8  ");
  answerFrequency("FA;");
  answer("SM0;");
  EXPECT_EQ(panel.sMeterDb, -6);
  EXPECT_EQ(platform.printed.size(), 1u);
}

// Before the radio is found. A refusal is the radio's own answer, so it is
// asked its mode and frequency; unanswered, it is not found.
TEST_F(PollTest, UnknownReplyIsIgnored) {
  panel.connectedSpoken = 0;
  answerFrequency("?;");
  answer("ID0570;");
  EXPECT_EQ(panel.frequencyHz, 0);
  EXPECT_EQ(panel.connectedSpoken, 0);
  EXPECT_TRUE(platform.printed.empty());
  EXPECT_TRUE(words().empty());
}

// A slow line or a late radio brings the end of one reply and the whole
// next one in one read: each whole reply is taken, in order.
TEST_F(PollTest, EveryWholeReplyOfAReadIsTaken) {
  answerFrequency("FA014200000;SM0200;");
  EXPECT_EQ(panel.frequencyHz, 14200000);
  EXPECT_EQ(panel.sMeterDb, 10);  // S9 and more
  answer("SM0130;FA0071");
  EXPECT_EQ(panel.sMeterDb, 0);  // S9
  answer("00000;SM0040;");
  EXPECT_EQ(panel.frequencyHz, 7100000);
  EXPECT_EQ(panel.sMeterDb, -42);  // S2
  EXPECT_EQ(panel.radio->unfinished(), "");
}

TEST_F(PollTest, SMeterReplyPrintsSilently) {
  panel.pollToggle = 1;
  answer("SM0120;");
  EXPECT_EQ(commands(), Commands{"SM0;"});
  EXPECT_EQ(panel.sMeterDb, -6);
  EXPECT_TRUE(platform.sounds.empty());  // nothing played, not even a word that is not there
  ASSERT_EQ(platform.printed.size(), 1u);
  EXPECT_EQ(platform.printed[0].text, "S8  ");
  EXPECT_EQ(platform.printed[0].x, 750);
  EXPECT_EQ(panel.waveDir, "wave\\");
}

TEST_F(PollTest, SwrReplyIsSpokenOnlyWhenAsked) {
  panel.tuneActive = 1;
  panel.pollToggle = 1;
  answer("RM6110;");
  EXPECT_EQ(commands(), Commands{"RM6;"});
  EXPECT_EQ(panel.swrTenths, 19);
  EXPECT_TRUE(words().empty());

  panel.swrAnnounce = SwrAnnounce::fullOnce;
  panel.pollToggle = 1;
  answer("RM6110;");
  panel.pollToggle = 1;
  answer("RM6130;");
  EXPECT_EQ(words(), (Words{"SWR", "1", "point", "9", "21", "2", "point", "1"}));

  // A key waiting (T, Q) cuts the phrase at its first word, SPEECH_CUT or not.
  platform.clearRecords();
  platform.postEvent(event::keyDown, 'T');
  panel.pollToggle = 1;
  answer("RM6130;");
  EXPECT_EQ(words(), Words{"2"});
  EXPECT_TRUE(platform.sounds.back().untilKey);
  EXPECT_EQ(panel.speechCut, 0);
}

TEST_F(PollTest, QueuedBandStepsAreTakenOnePerReply) {
  panel.bandCoverage = "7";
  panel.bandStepPending = 2;
  answerFrequency("FA014200000;");
  EXPECT_EQ(panel.bandIndex, 7);
  EXPECT_EQ(panel.bandStepPending, 1);
  EXPECT_EQ(commands().back(), "PA01;");

  platform.clearRecords();
  answerFrequency("FA018100000;");
  EXPECT_EQ(panel.bandIndex, 8);
  EXPECT_EQ(panel.bandStepPending, 0);
  EXPECT_EQ(commands(), (Commands{"FA;", "MD02;", "FA018100000;", "FA021200000;", "PA01;"}));

  platform.clearRecords();
  panel.bandStepPending = -1;
  answerFrequency("FA021200000;");
  EXPECT_EQ(panel.bandIndex, 7);
  EXPECT_EQ(panel.bandStepPending, 0);
}

// The radio's own knob took it outside every band before the steps were
// taken: there is no band to step from, and none is made up.
TEST_F(PollTest, QueuedBandStepsAreDroppedOutsideEveryBand) {
  for (int steps : {2, -2}) {
    panel.bandStepPending = steps;
    platform.clearRecords();
    answerFrequency("FA010400000;");
    EXPECT_EQ(panel.bandIndex, noBand);
    EXPECT_EQ(panel.bandStepPending, 0);
    EXPECT_EQ(commands(), Commands{"FA;"});
    EXPECT_EQ(words(), (Words{"band", "un"})) << steps;
  }
}

TEST_F(PollTest, EveryReadWithBytesIsLogged) {
  TemporaryDirectory folder;
  panel.debugFlag = 1;
  panel.debugFile.open("debug.dat", "W");
  answerFrequency("FA007100000;");
  tick();
  tick();  // no reply: no line
  panel.debugFile.close();
  EXPECT_EQ(readFileBytes("debug.dat"), "TX=FA;\r\nRX=FA007100000;\r\nTX=SM0;\r\n");
}

}  // namespace
