// The system's speech (SYSTEM_SPEECH=1): the same answers as the recorded
// words, as text, one utterance an event; the cut, the help, the readings
// while tuning, the opening's pauses, and the fallback when there is none.
// The window's title, which carries the readings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/lifecycle.h"
#include "platform/virtual_keys.h"
#include "platform/window_title.h"
#include "speech/vocabulary.h"
#include "tests/unit/front_panel_fixture.h"

namespace {

TEST(WordTextTest, AWordIsFoundAsItsRecordingIs) {
  EXPECT_EQ(wordText("9"), "nine");
  EXPECT_EQ(wordText("9.wav"), "nine");
  EXPECT_EQ(wordText("wave\\9"), "nine");
  EXPECT_EQ(wordText("wave/Usb.WAV"), "U S B");
  EXPECT_EQ(wordText("POWER"), "power");
  EXPECT_EQ(wordText("s.wav"), "S");
  EXPECT_TRUE(wordText("help.wav").starts_with("Keys. B, band."));
  // No recording of that name: nothing is said.
  EXPECT_EQ(wordText("xxs.wav"), "");
  EXPECT_EQ(wordText(" "), "");
  EXPECT_EQ(wordText(".wav"), "");
}

// The panel after the opening, the radio answering on 20 m in USB at S5.
void answering(FrontPanel& panel) {
  panel.comPort = 1;
  panel.waveDir = "wave\\";
  panel.platform.openSerial(1, 38400);
  panel.setInitialValues();
  panel.powerWatts = 100;
  panel.bandCoverage = "7";
  panel.connectedSpoken = 1;
  panel.frequencyHz = 14200000;
  panel.freqDisplay = " 14.200000";
  panel.bandIndex = 6;
  panel.modeIndex = 2;
  panel.sMeterDb = -24;  // S5
}

void press(FrontPanel& panel, int key) {
  for (int code : {event::keyDown, event::keyUp}) panel.handleEvent(code, key);
}

// Frequency, S-meter, mode, band, power, width, a function switched, an
// entry typed, a level at its top: the utterances are what the recordings
// say, in order, one a key, and no recording is played; the radio gets the
// same commands.
TEST(SystemSpeechAnswers, EachKeySaysWhatItsRecordingsSayAsOneUtterance) {
  const std::vector<int> keys = {'F', 'S', 'M',        'B', 'P', 'W',     key::f1, 'E',
                                 '1', '4', key::enter, 'F', 'A', key::up, 'Z',     'Q'};
  TemporaryDirectory folder;
  ScriptedPlatform recordedPlatform;
  FrontPanel recorded(recordedPlatform);
  answering(recorded);
  ScriptedPlatform systemPlatform;
  FrontPanel system(systemPlatform);
  answering(system);
  system.systemSpeech = 1;

  std::vector<std::string> expected;
  for (int key : keys) {
    recordedPlatform.sounds.clear();
    press(recorded, key);
    std::string said;
    for (const std::string& word : recordedPlatform.words()) {
      if (wordText(word).empty()) continue;
      if (!said.empty()) said += ' ';
      said += wordText(word);
    }
    if (!said.empty()) expected.push_back("answer: " + said);
    press(system, key);
  }
  ASSERT_GE(expected.size(), 12U);
  EXPECT_EQ(expected.front(), "answer: U S B one four point two megahertz");
  EXPECT_EQ(systemPlatform.speech, expected);
  EXPECT_TRUE(systemPlatform.sounds.empty());
  EXPECT_EQ(systemPlatform.commands(), recordedPlatform.commands());
}

class SystemSpeechTest : public AfterOpeningTest {
 protected:
  SystemSpeechTest() {
    answering(panel);
    platform.clearRecords();
    panel.systemSpeech = 1;
  }
};

// With SPEECH_CUT a key stops what is being said when it comes, even a key
// that says nothing; a held key's repeats do not. Without it each answer
// waits for the one before.
TEST_F(SystemSpeechTest, AKeyCutsTheSpeechOnlyWithSpeechCut) {
  keyDown('F');
  keyUp('F');
  keyDown(key::pageUp);
  keyUp(key::pageUp);
  EXPECT_EQ(platform.speech.size(), 1U);  // no cut: the frequency is said to its end

  platform.clearRecords();
  panel.speechCut = 1;
  keyDown('F');
  keyDown('F');  // the key held: repeats
  keyUp('F');
  keyDown(key::pageUp);
  keyUp(key::pageUp);
  ASSERT_EQ(platform.speech.size(), 3U);
  EXPECT_EQ(platform.speech[0], "cut");
  EXPECT_TRUE(platform.speech[1].starts_with("answer: U S B one four")) << platform.speech[1];
  EXPECT_EQ(platform.speech[2], "cut");
}

// The help is an utterance the next one stops (as the next word stops the
// help recording), and it is started, not waited for, in both voices.
TEST_F(SystemSpeechTest, TheHelpIsAnUtteranceOfItsOwnKind) {
  press('H');
  press('F');
  ASSERT_EQ(platform.speech.size(), 2U);
  EXPECT_TRUE(platform.speech[0].starts_with("help: Keys. B, band.")) << platform.speech[0];
  EXPECT_TRUE(platform.speech[1].starts_with("answer: U S B")) << platform.speech[1];

  panel.systemSpeech = 0;
  platform.clearRecords();
  press('H');
  ASSERT_EQ(platform.sounds.size(), 1U);
  EXPECT_EQ(platform.sounds[0].name, "wave\\help");
  EXPECT_FALSE(platform.sounds[0].wait);
}

// While tuning, each SWR reading the poll gets is a reading: the system's
// speech does not queue old ones behind the one it says. A key stops it
// whatever SPEECH_CUT says, as it stops the SWR said in recorded words.
TEST_F(SystemSpeechTest, TheSwrWhileTuningIsSaidAsReadingsThatAKeyStops) {
  panel.swrAnnounce = SwrAnnounce::shortForm;
  panel.tuneActive = 1;
  panel.awaitingReply = 1;
  platform.queueReply("RM6050;");
  tick();
  platform.queueReply("RM6120;");
  tick(4);
  ASSERT_GE(platform.speech.size(), 2U);
  for (const std::string& said : platform.speech) {
    EXPECT_TRUE(said.starts_with("reading: ")) << said;
  }
  EXPECT_EQ(platform.speech[0], "reading: one point zero");
  platform.clearRecords();
  keyDown('S');
  ASSERT_FALSE(platform.speech.empty());
  EXPECT_EQ(platform.speech[0], "cut");
}

// The pauses of the opening keep their time, in silence, and their words
// are said before each.
TEST_F(SystemSpeechTest, TheOpeningsPausesKeepTheirTimeInSilence) {
  panel.powerControl = 1;
  panel.debugFlag = 0;
  panel.openingSequence();
  std::vector<std::string> pauses;
  for (const SoundRequest& sound : platform.sounds) {
    EXPECT_TRUE(sound.pause && sound.silent) << sound.name;
    pauses.push_back(sound.name);
  }
  EXPECT_EQ(pauses, (std::vector<std::string>{"wave\\delay", "wave\\delay"}));
  EXPECT_EQ(platform.speech,
            (std::vector<std::string>{"answer: please wait", "answer: please wait"}));
  // "PS1" goes between the two pauses, after the first one's time.
  ASSERT_EQ(platform.sounds.size(), 2U);
  std::string beforeSecond = platform.portBytes.substr(0, platform.sounds[1].bytesSentBefore);
  EXPECT_TRUE(beforeSecond.ends_with("PS1;")) << beforeSecond;
}

// A station that asks for the system's speech where there is none hears
// the recorded words, and is told why once, on standard error.
TEST(SystemSpeechFallback, WithoutTheServiceTheRecordedWordsAreSaidAndWhyIsToldOnce) {
  TemporaryDirectory folder;
  writeFileBytes("quelmo.cfg",
                 "COM=1\r\nBAUD= 38400\r\nPWR = 100\r\nSWR=1\r\nTUN=0\r\nBANDS  =7\r\n"
                 "PWRCTL=0\r\nDEBUG=1\r\nSYSTEM_SPEECH=1\r\n");
  ScriptedPlatform platform;
  platform.noSystemSpeech = "no speech-dispatcher";
  FrontPanel panel(platform);
  panel.waveDir = "wave\\";
  testing::internal::CaptureStderr();
  ASSERT_TRUE(panel.readConfiguration());
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(panel.systemSpeech, 0);
  EXPECT_EQ(said,
            "quelmo: SYSTEM_SPEECH=1: the system's speech cannot be used (no speech-dispatcher); "
            "the recorded words are said instead\n");
  EXPECT_EQ(panel.unloggedProblems.size(), 1U);  // for the traffic log, once it is open
  panel.speakWord("ok");
  EXPECT_EQ(platform.words(), (std::vector<std::string>{"ok"}));
  EXPECT_TRUE(platform.speech.empty());

  platform.noSystemSpeech.clear();
  FrontPanel speaking(platform);
  ASSERT_TRUE(speaking.readConfiguration());
  EXPECT_EQ(speaking.systemSpeech, 1);
}

TEST(WindowTitleTest, CarriesTheTextsAtItsPlacesInTheirOrder) {
  WindowTitle title;
  title.open("Quelmo");
  title.follow(50, 45);
  title.follow(285, 150);
  title.follow(750, 45);
  EXPECT_EQ(title.text(), "Quelmo");
  EXPECT_FALSE(title.printed(140, 380, 900, "b=Band  f=Freq"));  // no place of the title
  EXPECT_TRUE(title.printed(750, 45, 770, "S9"));
  EXPECT_TRUE(title.printed(770, 45, 780, "+"));  // continues the S-meter
  EXPECT_TRUE(title.printed(50, 45, 90, "USB"));
  EXPECT_TRUE(title.printed(285, 150, 500, " 14.200000   "));
  EXPECT_EQ(title.text(), "USB 14.200000 S9+ - Quelmo");
  EXPECT_FALSE(title.printed(285, 150, 500, " 14.200000   "));  // the same again: no change
  EXPECT_TRUE(title.printed(750, 45, 770, "S7"));
  EXPECT_FALSE(title.printed(770, 45, 790, "  "));  // the blanks that wipe the "+"
  EXPECT_EQ(title.text(), "USB 14.200000 S7 - Quelmo");
  // The readings wiped (the radio lost): the mode alone.
  EXPECT_TRUE(title.printed(285, 150, 500, "                       "));
  EXPECT_TRUE(title.printed(750, 45, 790, "    "));
  EXPECT_EQ(title.text(), "USB - Quelmo");
}

// The program names the places of its readings: the title follows the
// mode, the frequency and the S-meter as the window shows them, and
// changes only when they do.
// A radio on 14.2 MHz at S5 that answers each query as it comes.
class AnsweringPlatform : public ScriptedPlatform {
 public:
  int writeSerial(int port, const char* text, int length) override {
    std::string command(text, length);
    if (command == "FA;") queueReply("FA014200000;");
    if (command == "SM0;") queueReply("SM0070;");
    return ScriptedPlatform::writeSerial(port, text, length);
  }
};

TEST(WindowTitleFollows, TheModeFrequencyAndSMeterAsShown) {
  TemporaryDirectory folder;
  writeFileBytes("quelmo.cfg",
                 "COM=1\r\nBAUD= 38400\r\nPWR = 100\r\nSWR=1\r\nTUN=0\r\nBANDS  =7\r\n"
                 "PWRCTL=0\r\nDEBUG=0\r\n");
  AnsweringPlatform platform;
  FrontPanel panel(platform);
  for (int i = 0; i < 8; ++i) platform.postEvent(event::timerTick, 0);
  platform.postEvent(event::closeRequest, 0);
  runQuelmo(panel);
  const std::string base = " - *** Quelmo Front Panel v1.9 ***";
  ASSERT_FALSE(platform.titles.empty());
  EXPECT_EQ(platform.titles.front(), "LSB" + base);
  EXPECT_EQ(platform.titles.back(), "LSB 14.200000 S5" + base);
  for (std::size_t i = 1; i < platform.titles.size(); ++i) {
    EXPECT_NE(platform.titles[i], platform.titles[i - 1]);
  }
}

}  // namespace
