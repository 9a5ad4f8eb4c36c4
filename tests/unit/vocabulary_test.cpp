// The vocabulary is what the default voice is made from: every word the
// program says must have a recording in it, each recording once.
#include "speech/vocabulary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "check/station_check.h"
#include "front_panel_fixture.h"
#include "platform/sound_names.h"
#include "platform/virtual_keys.h"

namespace {

// The file a word names, as the case-free look-up of the sound files sees it.
std::string lowerFileName(std::string_view word) {
  std::string file = soundFileName(word);
  for (char& c : file) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return file;
}

const VocabularyWord* findVocabularyWord(std::string_view word) {
  for (const auto& entry : vocabulary()) {
    if (lowerFileName(entry.word) == lowerFileName(word)) return &entry;
  }
  return nullptr;
}

TEST(VocabularyTest, EachRecordingIsListedOnceWhateverItsCaseOrExtension) {
  std::set<std::string> files;
  for (const auto& entry : vocabulary()) {
    EXPECT_TRUE(files.insert(lowerFileName(entry.word)).second) << entry.word;
    EXPECT_FALSE(entry.sentence.empty()) << entry.word;
  }
  ASSERT_NE(findVocabularyWord("9.wav"), nullptr);
  EXPECT_EQ(findVocabularyWord("9"), findVocabularyWord("9.wav"));
  EXPECT_EQ(findVocabularyWord("power"), findVocabularyWord("Power"));
  EXPECT_EQ(findVocabularyWord("xxs.wav"), nullptr);
}

class EverythingSaidTest : public FrontPanelTest {
 protected:
  void press(int key) {
    for (int code : {event::keyDown, event::keyUp}) {
      panel.handleEvent(code, key);
    }
  }
  void pressAll(const std::vector<int>& keys) {
    for (int key : keys) press(key);
  }
  void tick() { panel.handleEvent(event::timerTick, 0); }
  TemporaryDirectory folder;
};

// A run through every key, focus and reply that speaks: whatever the program
// says must be a word of the vocabulary, or the default voice lacks it.
TEST_F(EverythingSaidTest, EveryWordSpokenHasARecording) {
  panel.powerControl = 1;
  panel.swrAnnounce = SwrAnnounce::fullOnce;
  panel.bandCoverage = "7";
  panel.powerWatts = 100;
  Transceiver radio(1, true);
  platform.radio = [&radio](const std::string& command) { return radio.handleCommand(command); };
  panel.openingSequence();
  pressAll({'H', 'F'});  // before the radio answers: "nc"
  for (int i = 0; i < 8; ++i) tick();

  using key::up, key::down, key::enter, key::point;
  pressAll(
      {'F', 'S', 'P', 'B', 'W', 'M', 'Z', key::f1, key::f2, key::f3, key::f4, key::f5, key::f6});
  pressAll({'A', up, up, up, up, up, up, up, up, up, up, up, 'R', up, up, up, up, down});
  pressAll({'P', down, down, 'W', up, up, up, up, up, up, up, up, down});
  pressAll({'B', up, down, 'M', 'M', 'M', 'M', 'W'});
  pressAll({'E', '1', '4', point, '2', enter, 'E', '5', '0', '0', point, 'E', '9', '9', '9', '9', enter});
  pressAll({'C', '1', 'G', '1', 'G', '7', '2', '6', '7', 'B'});
  pressAll({'T', 'F', 'S'});
  for (int i = 0; i < 8; ++i) tick();
  pressAll({'T'});
  radio.switchOff();
  for (int i = 0; i < 24; ++i) tick();  // the radio silent: lost, and why
  for (SerialFault fault :
       {SerialFault::noDevice, SerialFault::denied, SerialFault::busy, SerialFault::lineRefused,
        SerialFault::noServer, SerialFault::serverClosed, SerialFault::notAnAddress}) {
    platform.portAvailable = false;
    platform.openFault = fault;
    panel.linkFaultsSaid = 0;
    for (int i = 0; i < 24; ++i) tick();
  }
  pressAll({'Q'});

  std::vector<std::string> said = words();
  std::set<std::string> missing;
  for (const auto& word : said) {
    if (findVocabularyWord(word) == nullptr) missing.insert(word);
  }
  EXPECT_TRUE(missing.empty()) << "first missing: " << *missing.begin();
  EXPECT_GT(std::set<std::string>(said.begin(), said.end()).size(), 40U);
  for (const char* word : {"lost", "noanswer", "nodev", "denied", "busy", "badspeed", "noserver",
                           "serverbusy", "noaddress"}) {
    EXPECT_NE(std::find(said.begin(), said.end(), word), said.end()) << word;
  }
}

// The station check speaks through the same vocabulary, on a good file
// with the radio answering and on a mistyped one without a radio.
TEST_F(EverythingSaidTest, EveryWordOfTheStationCheckHasARecording) {
  writeFileBytes("quelmo.cfg", "port1\r\nSPEED=38400\r\nPOWER=50\r\nSWR=1\r\nTUN=1\r\n"
                               "BANDMAX=6\r\nPWRCTL=1\r\nDEBUG=0\r\n");
  platform.closeSerial(1);  // as in a program that has just started
  platform.queueReply("ID0670;");
  std::ostringstream text;
  auto where = [](int) { return std::string("COM1"); };
  EXPECT_EQ(checkStation(panel, text, where), 0) << text.str();
  writeFileBytes("quelmo.cfg",
                 "port1 \r\nBAUD=38400\r\nPOWER=50 \r\nSWR=1\r\nTUN=0\r\n"
                 "BANDS=7\r\nPWRCTL=0\r\nDEBUG=0\r\nSPEECH_RATE=1,5\r\n");
  platform.portAvailable = false;
  EXPECT_EQ(checkStation(panel, text, where), 1) << text.str();
  EXPECT_EQ(platform.commands(), std::vector<std::string>{"ID;"});

  std::vector<std::string> said = words();
  for (const auto& word : said) EXPECT_NE(findVocabularyWord(word), nullptr) << word;
  for (const char* word : {"port", "speed", "tuner", "carrier", "pwrctl", "log", "checkline", "id",
                           "ok", "nodev", "option", "invalid"}) {
    EXPECT_NE(std::find(said.begin(), said.end(), word), said.end()) << word;
  }
}

}  // namespace
