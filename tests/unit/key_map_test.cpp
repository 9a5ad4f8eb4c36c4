#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"
#include "state/band_table.h"

namespace {

using Words = std::vector<std::string>;
using Commands = std::vector<std::string>;

// The panel as after the opening sequence, a first frequency reply of
// 7.1 MHz in LSB and an S-meter reading of S0.
class KeyMapTest : public AfterOpeningTest {
 protected:
  KeyMapTest() {
    panel.running = 1;
    onRadio(7100000, 4, 1);
  }

  void onRadio(int hz, int band, int mode) {
    panel.frequencyHz = hz;
    panel.bandIndex = band;
    panel.modeIndex = mode;
    radioReported(hz);
    panel.lastReplyMode = mode;
    panel.connectedSpoken = 1;
    panel.sMeterTick = panel.pollTick;
  }

  void type(const std::vector<int>& keys) {
    for (int code : keys) press(code);
  }
};

// Keys as a quick typist presses them: each goes down before the one before
// it has come up. A held key's repeated key-downs act once; every other key
// acts at once.
TEST_F(KeyMapTest, OnlyTheHeldKeysRepeatsAreIgnored) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> events;  // key-down (256) or key-up (257), key
    Words words;
    Commands commands;
  };
  constexpr int down = event::keyDown;
  constexpr int up = event::keyUp;
  const Case cases[] = {
      {"A held repeats", {{down, 'A'}, {down, 'A'}, {down, 'A'}, {up, 'A'}}, {"af"}, {}},
      {"A, S rolled", {{down, 'A'}, {down, 'S'}, {up, 'A'}, {up, 'S'}}, {"af", "s", "0"}, {}},
      {"S repeats after A comes up",
       {{down, 'A'}, {down, 'S'}, {up, 'A'}, {down, 'S'}, {down, 'S'}, {up, 'S'}, {down, 'A'}},
       {"af", "s", "0", "af"},
       {}},
      {"E 1 4 . 2 Enter overlapped",
       {{down, 'E'},
        {down, '1'},
        {up, 'E'},
        {down, '4'},
        {up, '1'},
        {down, key::point},
        {up, '4'},
        {down, '2'},
        {up, key::point},
        {down, key::enter},
        {up, '2'},
        {up, key::enter}},
       {"EF", "1", "4", "point", "2", "preamp", "on", "ok"},
       {"FA;", "MD02;", "FA007100000;", "FA;", "FA014200000;", "PA01;"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform.clearRecords();
    panel.keyHeld = 0;
    panel.entryValue = noEntry;
    onRadio(7100000, 4, 1);
    for (auto [code, key] : c.events) event(code, key);
    EXPECT_EQ(words(), c.words);
    EXPECT_EQ(commands(), c.commands);
  }
}

TEST_F(KeyMapTest, ShiftIsLoggedButDoesNothing) {
  TemporaryDirectory folder;
  panel.debugFlag = 1;
  panel.debugFile.open("debug.dat", "W");
  type({key::shift, 'F'});
  panel.debugFile.close();
  EXPECT_EQ(readFileBytes("debug.dat"), "\x10\r\nF\r\n");
  EXPECT_EQ(commands(), Commands{});
  EXPECT_EQ(words(), (Words{"lsb", "nc"}));  // no frequency display yet
}

TEST_F(KeyMapTest, BeforeTheFirstReplyOnlyHelpQuitAndInertKeysEscapeNc) {
  TemporaryDirectory folder;
  panel.connectedSpoken = 0;
  type({'A', 'F', '5', key::pageUp, key::shift, 'H'});
  EXPECT_EQ(words(), (Words{"nc", "nc", "nc", "nc", "help"}));
  EXPECT_TRUE(commands().empty());
  ASSERT_FALSE(platform.sounds.empty());
  EXPECT_EQ(platform.sounds.back().name, "wave\\help");
  EXPECT_FALSE(platform.sounds.back().wait);
  for (std::size_t i = 0; i + 1 < platform.sounds.size(); ++i) EXPECT_TRUE(platform.sounds[i].wait);

  press('Q');
  EXPECT_EQ(words().back(), "quit");
  EXPECT_EQ(panel.running, 0);
  EXPECT_TRUE(std::filesystem::exists("memory.dat"));
}

TEST_F(KeyMapTest, WhileTuningOnlySTAndQWork) {
  panel.tuneActive = 1;
  panel.swrAnnounce = SwrAnnounce::shortForm;
  panel.swrTenths = 21;
  panel.swrTick = panel.pollTick;
  type({'A', 'F', '5', 'S'});
  EXPECT_EQ(words(), (Words{"ton", "ton", "ton", "2", "point", "1"}));
  EXPECT_EQ(commands(), Commands{});
  EXPECT_EQ(panel.focusControl, Focus::frequency);
  platform.clearRecords();
  press('T');
  EXPECT_EQ(words(), (Words{"tune", "off"}));
  EXPECT_EQ(panel.tuneActive, 0);
}

TEST_F(KeyMapTest, InertKeyKeepsAWaitingStoreButOtherKeysDropIt) {
  type({'C', key::shift, '5'});
  EXPECT_EQ(panel.memoryChannel[5], "1007100000");
  EXPECT_EQ(words(), (Words{"sch", "5", "ok"}));

  platform.clearRecords();
  type({'C', 'H', '6'});
  EXPECT_EQ(panel.memoryChannel[6], "9");
  EXPECT_EQ(panel.channelAction, ChannelAction::none);
  EXPECT_EQ(words(), (Words{"sch", "help"}));
}

TEST_F(KeyMapTest, DirectEntrySendsTheTypedFrequency) {
  type({'E', '1', '4', key::point, '2', key::enter});
  // The point and Enter ask where the radio is before they act.
  EXPECT_EQ(commands(),
            (Commands{"FA;", "MD02;", "FA007100000;", "FA;", "FA014200000;", "PA01;"}));
  Words said = words();
  ASSERT_GE(said.size(), 3u);
  EXPECT_EQ(Words(said.end() - 3, said.end()), (Words{"preamp", "on", "ok"}));
  EXPECT_EQ(panel.entryArmed, 0);

  platform.clearRecords();
  press(key::enter);  // the entry is over: Enter does nothing
  EXPECT_TRUE(commands().empty());
  EXPECT_TRUE(words().empty());
}

TEST_F(KeyMapTest, EnterBeforeAnyEntryDoesNothing) {
  press(key::enter);
  EXPECT_TRUE(commands().empty());
  EXPECT_TRUE(words().empty());
}

// The digits 9, 9, 9 end an entry like any others: "no entry yet" is a
// value no entry reaches (it was 999, and Enter then only sent the
// frequency again).
TEST_F(KeyMapTest, EntriesOfNineNineNineEndAtEnter) {
  const std::pair<std::vector<int>, const char*> cases[] = {
      {{'9', key::point, '9', '9'}, "FA009990000;"},
      {{'9', '9', key::point, '9'}, "FA099900000;"},
      {{'9', '9', '9'}, "FA999000000;"},
  };
  for (const auto& [digits, sent] : cases) {
    platform.clearRecords();
    press('E');
    type(digits);
    press(key::enter);
    Commands commandsSent = commands();
    EXPECT_EQ(commandsSent.end()[-2], sent);
    EXPECT_EQ(words().back(), "ok") << sent;
    EXPECT_EQ(panel.entryArmed, 0) << sent;
  }
}

TEST_F(KeyMapTest, ModeKeyOffersFmOnlyFromTenMetresUp) {
  onRadio(14200000, 6, 4);
  press('M');
  EXPECT_EQ(panel.modeIndex, 1);
  EXPECT_EQ(commands(), (Commands{"FA;", "MD01;", "FA014200000;"}));

  platform.clearRecords();
  onRadio(145000000, 12, 4);
  press('M');
  EXPECT_EQ(panel.modeIndex, 5);
  EXPECT_EQ(commands(), (Commands{"FA;", "MD0B;", "FA145000000;"}));
  EXPECT_EQ(words(), Words{"fm"});
}

TEST_F(KeyMapTest, WidthKeyDoesNothingInFm) {
  onRadio(145000000, 12, 5);
  panel.focusControl = Focus::afGain;
  press('W');
  EXPECT_TRUE(words().empty());
  EXPECT_TRUE(commands().empty());
  EXPECT_EQ(panel.focusControl, Focus::afGain);

  onRadio(14200000, 6, 2);
  press('W');
  EXPECT_EQ(words(), (Words{"bw", "2", "point", "4", "khz"}));
  EXPECT_EQ(panel.focusControl, Focus::width);
}

TEST_F(KeyMapTest, PageUpOnTwoMetresFmStepsByAChannel) {
  onRadio(145000000, 12, 5);
  press(key::pageUp);
  EXPECT_EQ(commands(), (Commands{"FA;", "FA145012500;"}));
}

// A key sends its own command and nothing more, whatever the arrows change.
TEST_F(KeyMapTest, FunctionKeysSendOnlyTheirOwnCommand) {
  press(key::f1);
  EXPECT_EQ(commands(), Commands{"PA01;"});
  EXPECT_EQ(words(), (Words{"preamp", "on"}));

  platform.clearRecords();
  panel.focusControl = Focus::power;
  press(key::f1);
  EXPECT_EQ(commands(), Commands{"PA00;"});
}

TEST_F(KeyMapTest, NotchAndSpeechProcessorSwitchOnAndOff) {
  type({key::f5, key::f5});
  EXPECT_EQ(commands(), (Commands{"BC01;", "BC00;"}));
  EXPECT_EQ(words(), (Words{"notch", "on", "notch", "off"}));

  platform.clearRecords();
  type({key::f6, key::f6});
  EXPECT_EQ(commands(), (Commands{"PR01;", "PR00;"}));
  EXPECT_EQ(words(), (Words{"spc", "on", "spc", "off"}));
}

TEST_F(KeyMapTest, TuneWithACarrierThenBackToPowerAndMode) {
  panel.tuneCarrier = 1;
  press('T');
  EXPECT_EQ(commands(), (Commands{"PC005;", "MD05;", "TX1;"}));
  EXPECT_EQ(words(), (Words{"tune", "on"}));
  EXPECT_EQ(panel.tuneActive, 1);

  // The carrier goes off before the power goes back up, and before a word.
  platform.clearRecords();
  press('T');
  EXPECT_EQ(commands(), (Commands{"TX0;", "PC100;", "MD01;", "FA007100000;"}));
  EXPECT_EQ(words(), (Words{"tune", "off"}));
  EXPECT_GE(platform.sounds.front().bytesSentBefore, 4u);
  EXPECT_EQ(panel.tuneActive, 0);
  EXPECT_EQ(panel.modeIndex, 1);
}

TEST_F(KeyMapTest, TuneWithTheRadiosTuner) {
  panel.focusControl = Focus::rfGain;
  type({'T', 'T'});
  EXPECT_EQ(commands(), (Commands{"AC002;", "AC001;"}));
  EXPECT_EQ(words(), (Words{"tune", "on", "tune", "off"}));
  EXPECT_EQ(platform.sounds[2].bytesSentBefore, 12u);  // "AC001;" before "tune off"
}

TEST_F(KeyMapTest, QuitSavesTheBandMemoryAndSaysQuit) {
  TemporaryDirectory folder;
  radioReported(7050000);
  panel.lastReplyMode = 3;
  press('Q');
  EXPECT_EQ(words(), Words{"quit"});
  EXPECT_EQ(panel.running, 0);
  std::string saved = readFileBytes("memory.dat");
  EXPECT_EQ(saved.rfind("V1.9\r\n", 0), 0u);
  EXPECT_NE(saved.find("\r\n3007050000\r\n"), std::string::npos);
  EXPECT_EQ(commands(), Commands{"FA;"});  // where the radio is, asked once more
}

TEST_F(KeyMapTest, CloseRequestSavesLikeQuitWithoutAWord) {
  TemporaryDirectory folder;
  panel.memoryChannel[2] = "2014200000";
  event(event::closeRequest);
  EXPECT_EQ(panel.running, 0);
  EXPECT_NE(readFileBytes("memory.dat").find("\r\n2014200000\r\n"), std::string::npos);
  EXPECT_TRUE(words().empty());
  EXPECT_EQ(commands(), Commands{"FA;"});
}

TEST_F(KeyMapTest, KeysTheMapDoesNotNameSendNothing) {
  type({'X', 96 /* keypad 0 */, key::backspace, key::comma});
  EXPECT_TRUE(commands().empty());
  EXPECT_TRUE(words().empty());
}

}  // namespace
