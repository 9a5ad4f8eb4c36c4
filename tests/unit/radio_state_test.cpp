// The program's picture of the radio when keys come quickly, the radio
// answers late and the line is slow: key presses and ticks go through
// handleEvent, against a radio that obeys the commands in the order they
// were written and answers each query some ticks later, with its state as
// the query found it.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/virtual_keys.h"

namespace {

using Strings = std::vector<std::string>;

// A radio on the scripted port. At each tick it takes the commands written
// since the tick before; a reply goes out lateTicks ticks after its query
// arrived, and on a slow line only its first lineBytes bytes make that tick,
// the rest coming a tick later.
class Radio {
 public:
  explicit Radio(ScriptedPlatform& platform) : platform_(platform) {}

  int lateTicks = 0;
  std::size_t lineBytes = 64;
  bool answering = true;
  int frequencyHz = 7'100'000;
  std::string mode = "1";
  int sMeter = 40;

  void tick() {
    ++now_;
    const std::string& bytes = platform_.portBytes;
    for (std::size_t end; (end = bytes.find(';', taken_)) != std::string::npos; taken_ = end + 1) {
      obey(bytes.substr(taken_, end - taken_));
    }
    while (!out_.empty() && out_.front().first <= now_) {
      platform_.queueReply(out_.front().second);
      out_.pop_front();
    }
  }

 private:
  void obey(const std::string& command) {
    char reply[16] = {};
    if (command == "FA") {
      std::snprintf(reply, sizeof reply, "FA%09d;", frequencyHz);
    } else if (command == "SM0") {
      std::snprintf(reply, sizeof reply, "SM0%03d;", sMeter);
    } else if (command == "MD0") {
      std::snprintf(reply, sizeof reply, "MD0%s;", mode.c_str());
    } else if (command == "ID") {
      std::snprintf(reply, sizeof reply, "ID0670;");
    } else if (command.rfind("FA", 0) == 0) {
      frequencyHz = std::stoi(command.substr(2));
    } else if (command.rfind("MD0", 0) == 0) {
      mode = command.substr(3);
    }
    std::string text = reply;
    if (text.empty() || !answering) return;
    out_.emplace_back(now_ + lateTicks, text.substr(0, lineBytes));
    if (text.size() > lineBytes) out_.emplace_back(now_ + lateTicks + 1, text.substr(lineBytes));
  }

  ScriptedPlatform& platform_;
  std::size_t taken_ = 0;
  int now_ = 0;
  std::deque<std::pair<int, std::string>> out_;
};

// After the opening sequence and the radio's first reply: 7.1 MHz, LSB.
class RadioStateTest : public FrontPanelTest {
 protected:
  RadioStateTest() {
    panel.powerWatts = 100;
    panel.bandCoverage = "7";
    panel.versionText = "1.9";
    panel.tuneCarrier = 1;
    panel.debugFlag = 1;
    panel.openingSequence();
    panel.running = 1;
    // The first answer finds the radio and the next ones connect it; then
    // the poll stands where it stands after a frequency reply.
    tick(6);
    EXPECT_EQ(panel.connectedSpoken, 1);
    foundAt = platform.portBytes.size();
  }

  std::size_t foundAt = 0;  // the bytes sent until the radio was found

  void event(int code, int param = 0) { panel.handleEvent(code, param); }

  void tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      radio.tick();
      event(event::timerTick);
    }
  }

  // Keys pressed one after another with no tick between, as keys typed
  // while a phrase is spoken are handled once it ends. Letters and digits
  // are their own keys; ">" is Page Up, "^" and "v" the Up and Down arrows,
  // "." the point, "=" and "-" the megahertz steps and "\r" Enter.
  void press(std::string_view keys) {
    static const std::map<char, int> named = {{'>', key::pageUp}, {'^', key::up},
                                              {'v', key::down},   {'.', key::point},
                                              {'=', key::equals}, {'-', key::minus}};
    for (char key : keys) {
      int code = named.count(key) != 0 ? named.at(key) : key;
      event(event::keyDown, code);
      event(event::keyUp, code);
    }
  }

  // Keys typed at a person's pace: the poll asks and reads between them.
  void typeSlowly(std::string_view keys) {
    for (char key : keys) {
      press(std::string_view(&key, 1));
      tick(6);
    }
  }

  // Ticks until the frequency query has just gone out.
  void tickUntilFrequencyAsked() {
    do {
      tick();
    } while (!(panel.awaitingReply == 1 && panel.pollToggle == 1));
  }

  void settle() { tick(24); }

  // Everything said, and the commands other than the poll's queries, from
  // here on.
  void mark() {
    platform.sounds.clear();
    sent_ = platform.portBytes.size();
  }
  Strings keyCommands() const {
    Strings list;
    std::string rest = platform.portBytes.substr(sent_);
    for (std::size_t end; (end = rest.find(';')) != std::string::npos; rest.erase(0, end + 1)) {
      std::string command = rest.substr(0, end + 1);
      if (command != "FA;" && command != "SM0;" && command != "MD0;" && command != "RM6;" &&
          command != "ID;") {
        list.push_back(command);
      }
    }
    return list;
  }

  TemporaryDirectory folder;
  Radio radio{platform};

 private:
  std::size_t sent_ = 0;
};

// Ten Page Ups with the radio answering three ticks late: the replies to
// queries asked before a Page Up come after it and must not take the
// frequency back.
TEST_F(RadioStateTest, TenQuickPageUpsWithALateRadioAllCount) {
  radio.lateTicks = 3;
  mark();
  for (int gap : {0, 1, 2, 3, 0, 2, 1, 3, 0, 2}) {
    press(">");
    tick(gap);
  }
  settle();
  Strings expected;
  for (int kHz = 7110; kHz <= 7200; kHz += 10) {
    expected.push_back("FA00" + std::to_string(kHz) + "000;");
  }
  EXPECT_EQ(keyCommands(), expected);
  EXPECT_EQ(radio.frequencyHz, 7'200'000);
  EXPECT_EQ(panel.frequencyHz, 7'200'000);
  EXPECT_EQ(panel.freqDisplay, "  7.200000");
}

// A reply to a query asked before the change arrives after it; then a key
// that sends the current frequency again (Z, M, the end of tuning) must send
// the new one.
TEST_F(RadioStateTest, AChangeIsNotUndoneByALateReplyBeforeTheNextKey) {
  struct Case {
    const char* change;
    const char* then;
    int hz;
    int band;
    const char* mode40m;  // the band memory's mode for 40 m afterwards
  };
  const Case cases[] = {
      {">", "Z", 7'110'000, 4, "1"},        {">", "TT", 7'110'000, 4, "1"},
      {"B6", "Z", 14'200'000, 6, "1"},      {"G3", "Z", 14'250'000, 6, "1"},
      {"E14.2\r", "Z", 14'200'000, 6, "1"}, {"E21\r", "Z", 21'000'000, 8, "1"},
      {">", "M", 7'110'000, 4, "2"},  // the last: 40 m is left in USB
  };
  panel.memoryChannel[3] = "2014250000";
  radio.lateTicks = 3;
  for (const Case& c : cases) {
    press("E7.1\r");
    settle();
    tickUntilFrequencyAsked();
    press(c.change);
    tick(5);  // the reply to the query before the change is read
    press(c.then);
    settle();
    EXPECT_EQ(radio.frequencyHz, c.hz) << c.change << " then " << c.then;
    EXPECT_EQ(panel.bandIndex, c.band) << c.change << " then " << c.then;
    EXPECT_EQ(panel.bandMode[4], c.mode40m) << c.change << " then " << c.then;
  }
}

// A late reply is still logged as it came, but nothing else is done with
// it: no display, no band, no queued band step.
TEST_F(RadioStateTest, ALateReplyIsLoggedButNotTaken) {
  radio.lateTicks = 3;
  tickUntilFrequencyAsked();
  press(">");
  platform.printed.clear();
  tick(5);
  EXPECT_EQ(panel.frequencyHz, 7'110'000);
  EXPECT_EQ(panel.freqDisplay, "  7.100000");
  for (const PrintedText& text : platform.printed) EXPECT_NE(text.y, 150) << text.text;
  settle();
  EXPECT_EQ(panel.freqDisplay, "  7.110000");
  panel.debugFile.close();
  std::string log = readFileBytes("debug.dat");
  // The poll's reply and the answer to the key's question, both late.
  EXPECT_NE(log.find("RX=FA007100000;FA007100000;\r\n", log.find("TX=FA007110000;")),
            std::string::npos);

  // Two band steps queued while a mode change is on its way: each is taken
  // from the band the radio reports after the step before.
  tickUntilFrequencyAsked();
  press("MB^^");
  settle();
  EXPECT_EQ(panel.bandIndex, 6);
  EXPECT_EQ(radio.frequencyHz, 14'200'000);
  EXPECT_EQ(panel.bandMode[4], "2");  // 40 m was left in USB
}

// 40 m, 20 m and back by band digits, with a tick count between them from
// none at all (the digits typed during the band's words) to many: each band
// keeps its own mode and frequency, and so does a channel stored meanwhile.
TEST_F(RadioStateTest, BandDigitsThereAndBackKeepEachBandsMode) {
  radio.lateTicks = 3;
  for (int ticks : {0, 1, 3, 5, 8}) {
    tickUntilFrequencyAsked();
    press("B6C3");
    tick(ticks);
    press("B4");
    settle();
    EXPECT_EQ(radio.mode, "1") << ticks;
    EXPECT_EQ(radio.frequencyHz, 7'100'000) << ticks;
    EXPECT_EQ(panel.bandMode[4], "1") << ticks;
    EXPECT_EQ(panel.bandMode[6], "2") << ticks;
    EXPECT_EQ(panel.bandHz[6], 14200000) << ticks;
    // A store is the radio's last report: its frequency with its mode then.
    EXPECT_EQ(panel.memoryChannel[3], "1007100000") << ticks;
  }
}

// Keys typed while a phrase is spoken are handled one after another, with
// no poll between: each works from the frequency the one before chose, and
// F says that frequency.
TEST_F(RadioStateTest, KeysTypedAheadWorkFromTheChosenFrequency) {
  mark();
  press("FB6M");
  settle();
  EXPECT_EQ(radio.frequencyHz, 14'200'000);
  EXPECT_EQ(radio.mode, "3");
  EXPECT_EQ(keyCommands().back(), "FA014200000;");

  press("E7.1\r");
  settle();
  mark();
  press(">F");
  EXPECT_EQ(platform.words(), (Strings{"lsb", "7", "point", "1", "1", "mhz"}));
  mark();
  press("B6F");
  Strings said = platform.words();
  EXPECT_EQ(Strings(said.end() - 6, said.end()), (Strings{"cw", "1", "4", "point", "2", "mhz"}));
}

// The point of an entry on another band sends that band's mode while the
// radio is still on the old band's frequency, until Enter. The radio's
// replies meanwhile must not store that mode into the old band: coming back
// finds the old band in the mode it was left in.
TEST_F(RadioStateTest, AnEntryOnAnotherBandLeavesTheOldBandItsMode) {
  struct Case {
    const char* first;
    int band;               // of the first entry
    const char* mode;       // its band memory's mode
    const char* radioMode;  // that mode's command character
  };
  for (const Case& c : {Case{"E14.25\r", 6, "2", "2"}, Case{"E145.5\r", 12, "5", "B"}}) {
    typeSlowly("E7.1\r");
    typeSlowly(c.first);
    EXPECT_EQ(panel.bandMode[4], "1") << c.first;
    EXPECT_EQ(radio.mode, c.radioMode) << c.first;
    typeSlowly("E7.05\r");
    settle();
    EXPECT_EQ(radio.mode, "1") << c.first;
    EXPECT_EQ(radio.frequencyHz, 7'050'000) << c.first;
    EXPECT_EQ(panel.bandMode[c.band], c.mode) << c.first;
    // Abandoned after its point, an entry leaves the old band as it was too.
    typeSlowly("E14.");
    panel.trackBand();  // as a band digit or the end of the program does
    EXPECT_EQ(panel.bandMode[4], "1") << c.first;
    // And the band digit typed right after Enter, before the radio reports.
    typeSlowly("E21.2");
    press("\rB4");
    settle();
    EXPECT_EQ(radio.mode, "1") << c.first;
    EXPECT_EQ(panel.bandMode[4], "1") << c.first;
  }
}

// 0 Hz is where the keys took the radio, not a sign that it is missing: the
// keys go on working there.
TEST_F(RadioStateTest, KeysWorkAtZeroHertz) {
  typeSlowly("E1.5\r--");
  settle();
  EXPECT_EQ(radio.frequencyHz, 0);
  mark();
  press("=F");
  settle();
  EXPECT_EQ(keyCommands(), Strings{"FA001000000;"});
  EXPECT_EQ(platform.words(), (Strings{"lsb", "1", "mhz"}));
}

// On a slow line every reply is cut by the read and the next one arrives
// with its end: the S-meter reply behind a frequency reply is taken too.
TEST_F(RadioStateTest, SMeterFollowsTheRadioOnASlowLine) {
  radio.lineBytes = 9;
  for (const auto& [reading, said] :
       {std::pair<int, Strings>{200, {"s", "9", "plus"}}, {30, {"s", "2"}}, {100, {"s", "7"}}}) {
    radio.sMeter = reading;
    tick(8);
    mark();
    press("S");
    EXPECT_EQ(platform.words(), said) << reading;
  }
  EXPECT_EQ(panel.freqDisplay, "  7.100000");
}

// A radio that stops answering while keys are pressed: the queries it
// leaves unanswered are given up after a second, so the replies that come
// once it answers again are taken, not matched to those old queries.
TEST_F(RadioStateTest, QueriesLeftUnansweredAreGivenUp) {
  radio.answering = false;
  tick(40);
  press(">");
  radio.answering = true;
  tick();
  radio.frequencyHz = 14'250'000;  // then turned at the radio
  tick(30);
  EXPECT_EQ(panel.freqDisplay, " 14.250000");
  EXPECT_EQ(panel.bandIndex, 6);
}

// An entry that is refused sends nothing at all and changes nothing.
TEST_F(RadioStateTest, RefusedEntriesSendNothing) {
  for (const char* keys : {"1420\r", "\r", "0\r", "14.2000000\r"}) {
    press("E");
    mark();
    press(keys);
    EXPECT_EQ(platform.words().back(), "invalid") << keys;
    Strings sent = keyCommands();
    // The point selects the typed band's mode at once; Enter sends nothing.
    if (std::string(keys).find('.') != std::string::npos) {
      sent.erase(sent.begin(), sent.begin() + 2);
    }
    EXPECT_EQ(sent, Strings{}) << keys;
  }
  settle();
  EXPECT_EQ(radio.frequencyHz, 7'100'000);
}

// A band coverage the table does not know counts as all thirteen bands: a
// step down from 160 m comes round at 70 cm, and a step up from 70 cm at
// 160 m, on a radio said to end at 10 m too.
TEST_F(RadioStateTest, BandStepsComeRoundWhateverTheCoverage) {
  panel.bandCoverage = "5";
  press("B1");
  settle();
  mark();
  press("Bv");
  settle();
  EXPECT_EQ(panel.bandIndex, 13);
  Strings said = platform.words();
  EXPECT_EQ(Strings(said.end() - 4, said.end() - 2), (Strings{"70", "metres"}));
  panel.bandCoverage = "1";
  press("B^");
  settle();
  EXPECT_EQ(panel.bandIndex, 1);
  EXPECT_EQ(radio.frequencyHz, 1'900'000);
}

// SPEAK_RADIO_CHANGES: what the radio's own knobs change is said once, when
// the radio has reported the same for a second; what the program commands,
// and replies older than its commands, never are.
TEST_F(RadioStateTest, ChangesMadeAtTheRadioAreSaidOnceTheyRest) {
  const Strings frequency = {"1", "4", "point", "2", "5", "mhz"};
  settle();
  mark();
  settle();
  EXPECT_EQ(platform.portBytes.find("MD0;", foundAt), std::string::npos);  // none without it
  radio.frequencyHz = 14'250'000;
  settle();
  EXPECT_TRUE(platform.words().empty());  // the option is off
  radio.frequencyHz = 7'100'000;
  settle();

  panel.speakRadioChanges = 1;
  radio.lateTicks = 2;
  settle();
  EXPECT_TRUE(platform.words().empty());
  mark();
  // The knob turned for two seconds: nothing is said while it turns.
  for (int step = 1; step <= 10; ++step) {
    radio.frequencyHz = 14'200'000 + step * 5'000;
    tick(4);
    EXPECT_TRUE(platform.words().empty()) << step;
  }
  tick(14);
  EXPECT_TRUE(platform.words().empty());  // not yet a second
  settle();
  EXPECT_EQ(platform.words(), frequency);
  settle();
  EXPECT_EQ(platform.words(), frequency);  // once

  // Turned and back again before it rests: nothing to say.
  mark();
  radio.frequencyHz = 14'260'000;
  tick(8);
  radio.frequencyHz = 14'250'000;
  settle();
  EXPECT_TRUE(platform.words().empty());

  // The mode, shown at once and said with the frequency once both rest.
  radio.mode = "2";
  radio.frequencyHz = 14'200'000;
  tick(8);
  EXPECT_EQ(panel.modeIndex, 2);
  EXPECT_TRUE(std::any_of(platform.printed.begin(), platform.printed.end(), [](const auto& p) {
    return p.x == 50 && p.y == 45 && p.text == "USB ";
  }));
  radio.frequencyHz = 14'250'000;
  settle();
  EXPECT_EQ(platform.words(), Strings{"usb"});  // the frequency is back where it was said
  mark();
  radio.mode = "7";  // the radio's CW on the lower side is CW
  radio.frequencyHz = 14'200'000;
  settle();
  EXPECT_EQ(platform.words(), (Strings{"cw", "1", "4", "point", "2", "mhz"}));
  mark();
  radio.mode = "C";  // a data mode has no word: nothing changes
  settle();
  EXPECT_EQ(panel.modeIndex, 3);
  EXPECT_TRUE(platform.words().empty());
}

TEST_F(RadioStateTest, TheProgramsOwnChangesAreNeverSaidAsTheRadios) {
  panel.speakRadioChanges = 1;
  radio.lateTicks = 3;  // every reply tells how the radio was before the keys
  settle();
  mark();
  press(">>>");
  tick(2);
  press("M");
  press("B6");
  tick(1);
  press(">");
  settle();
  settle();
  EXPECT_EQ(platform.words(),
            (Strings{"usb", "band", "40", "metres", "20", "metres", "preamp", "on"}));
  EXPECT_EQ(panel.frequencyHz, 14'210'000);
  EXPECT_EQ(radio.frequencyHz, 14'210'000);
  // The tune key's AM carrier and the mode it goes back to are commanded.
  mark();
  press("T");
  settle();
  press("T");
  settle();
  EXPECT_EQ(platform.words(), (Strings{"tune", "on", "tune", "off"}));
  Strings sent = keyCommands();
  auto end = std::find(sent.begin(), sent.end(), "TX0;");
  ASSERT_NE(end, sent.end());
  EXPECT_EQ(std::count(end, sent.end(), "MD02;"), 1);  // the mode before the carrier
  EXPECT_EQ(panel.modeIndex, 2);
  // The mode query goes with every frequency query, and nowhere else.
  std::string bytes = platform.portBytes;
  EXPECT_NE(bytes.find("FA;MD0;"), std::string::npos);
  for (std::size_t at = bytes.find("MD0;", foundAt); at != std::string::npos;
       at = bytes.find("MD0;", at + 1)) {
    EXPECT_EQ(bytes.substr(at - 3, 3), "FA;");
  }
}

// SPEECH_CUT: a key pressed while a word plays ends the phrase; the rest of
// the phrase is not said, but everything the event does is still done.
TEST_F(RadioStateTest, AKeyCutsThePhraseButNotWhatTheEventSends) {
  settle();
  mark();
  press("T");  // without the cut, for comparison
  press("T");
  Strings tuneCommands = keyCommands();
  Strings tuneWords = platform.words();
  ASSERT_EQ(tuneWords, (Strings{"tune", "on", "tune", "off"}));

  panel.speechCut = 1;
  for (int cutAt : {1, 2}) {
    SCOPED_TRACE(cutAt);
    mark();
    platform.keyDuringSound = cutAt;
    press("T");
    platform.keyDuringSound = cutAt;
    press("T");
    EXPECT_EQ(keyCommands(), tuneCommands);
    Strings heard = platform.words();
    EXPECT_EQ(heard, cutAt == 1 ? Strings({"tune", "tune"}) : tuneWords);
  }

  mark();
  platform.keyDuringSound = 3;
  press("FS");  // F cut at its third word; S said whole
  EXPECT_EQ(platform.words(), (Strings{"lsb", "7", "point", "s", "2"}));
  for (const SoundRequest& sound : platform.sounds) EXPECT_TRUE(sound.untilKey);

  // A key already waiting cuts the phrase before its first word.
  mark();
  platform.postEvent(event::keyDown, 'S');
  press("F");
  EXPECT_EQ(platform.words(), Strings{"lsb"});
}

}  // namespace
