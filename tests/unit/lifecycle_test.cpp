// The program's life on the scripted platform: start-up, the main loop and
// the order of the shutdown.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/lifecycle.h"
#include "state/band_table.h"
#include "platform/scripted_platform.h"
#include "tests/unit/front_panel_fixture.h"

namespace {

// Also records each write to the port among the other calls, so the order
// of the window's closing, "PS0" and the port's closing shows.
class OrderRecordingPlatform : public ScriptedPlatform {
 public:
  int writeSerial(int port, const char* text, int length) override {
    int written = ScriptedPlatform::writeSerial(port, text, length);
    if (written > 0) calls.push_back("write " + std::string(text, length));
    return written;
  }
};

// The station file by the reader's positional rules: port 1, 38400 baud,
// 100 W, SWR spoken, the radio's tuner, bands up to 70 cm.
std::string stationFile(int powerControl, int log, int carrier = 0) {
  return "COM=1\r\nBAUD= 38400\r\nPWR = 100\r\nSWR=1\r\nTUN=" + std::to_string(carrier) +
         "\r\nBANDS  =7\r\nPWRCTL=" + std::to_string(powerControl) + "\r\nDEBUG=" +
         std::to_string(log) + "\r\n";
}

std::vector<std::string> from(const std::vector<std::string>& calls, const std::string& first) {
  auto start = std::find(calls.begin(), calls.end(), first);
  return {start, calls.end()};
}

class LifecycleTest : public ::testing::Test {
 protected:
  TemporaryDirectory folder;
  OrderRecordingPlatform platform;
  FrontPanel panel{platform};
};

TEST_F(LifecycleTest, WithoutConfigurationGreetsSaysSoAndEndsWithoutThePort) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(runQuelmo(panel), 1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("quelmo.cfg is not in this folder"),
            std::string::npos);
  EXPECT_EQ(platform.words(),
            (std::vector<std::string>{"quelmo", "1", "point", "9", "cfgnf"}));
  EXPECT_EQ(platform.calls,
            (std::vector<std::string>{"openWindow 350 100 950 500 *** Quelmo Front Panel v1.9 ***"}));
  EXPECT_TRUE(platform.portBytes.empty());
  EXPECT_FALSE(std::filesystem::exists("debug.dat"));
}

// Another program holds the working folder: this one says so after its
// greeting and ends before it reads the station or the memories, opens the
// port or writes a file.
TEST_F(LifecycleTest, SecondProgramInAFolderInUseSaysSoAndTouchesNothing) {
  writeFileBytes("quelmo.cfg", stationFile(1, 1));
  writeFileBytes("memory.dat", "the first program's");
  platform.folderHeldElsewhere = true;
  EXPECT_EQ(runQuelmo(panel), 1);
  EXPECT_EQ(platform.words(), (std::vector<std::string>{"quelmo", "1", "point", "9", "running"}));
  EXPECT_EQ(platform.calls,
            (std::vector<std::string>{"openWindow 350 100 950 500 *** Quelmo Front Panel v1.9 ***"}));
  EXPECT_TRUE(platform.portBytes.empty());
  EXPECT_EQ(readFileBytes("memory.dat"), "the first program's");
  EXPECT_FALSE(std::filesystem::exists("debug.dat"));
}

TEST_F(LifecycleTest, CloseRequestShutsDownInOrderAndSwitchesTheRadioOffLast) {
  writeFileBytes("quelmo.cfg", stationFile(1, 1));
  platform.postEvent(event::closeRequest, 0);
  EXPECT_EQ(runQuelmo(panel), 0);

  EXPECT_EQ(panel.bannerText, "*** Quelmo V 1.9 ***");
  EXPECT_EQ(from(platform.calls, "startTimer 50 1"),
            (std::vector<std::string>{"startTimer 50 1", "write PS0;", "closeSerial 1",
                                      "stopTimer 1", "closeWindow"}));
  EXPECT_FALSE(platform.isPortOpen(1));
  EXPECT_FALSE(panel.debugFile.isOpen());
  std::string log = readFileBytes("debug.dat");
  EXPECT_TRUE(log.ends_with("TX=PS0;\r\n")) << log;
}

TEST_F(LifecycleTest, WithoutPowerControlTheRadioIsLeftOn) {
  writeFileBytes("quelmo.cfg", stationFile(0, 0));
  platform.postEvent(event::closeRequest, 0);
  EXPECT_EQ(runQuelmo(panel), 0);
  EXPECT_EQ(from(platform.calls, "startTimer 50 1"),
            (std::vector<std::string>{"startTimer 50 1", "closeSerial 1", "stopTimer 1",
                                      "closeWindow"}));
  EXPECT_FALSE(std::filesystem::exists("debug.dat"));
}

void voiceFolderWith(const char* file) {
  std::filesystem::create_directory("wave");
  writeFileBytes(std::filesystem::path("wave") / file, "");
}

// Without words the program is mute: why is said once, on standard error
// and in the log, naming the folder and what is wrong with it.
TEST_F(LifecycleTest, AVoiceFolderWithoutWordsIsReportedOnce) {
  namespace fs = std::filesystem;
  struct Case {
    const char* name;
    void (*make)();
    const char* why;  // empty: words are there, nothing reported
  };
  const Case cases[] = {
      {"missing", [] {}, "there is no folder \"wave\" here"},
      {"a link to nowhere", [] { fs::create_directory_symlink("build/wave", "wave"); },
       "\"wave\" is a link to build/wave, which does not exist"},
      {"a file", [] { writeFileBytes("wave", ""); }, "\"wave\" is not a folder"},
      {"no recording", [] { voiceFolderWith("a.txt"); }, "the folder holds no .wav recording"},
      {"words", [] { voiceFolderWith("OKAY.WAV"); }, ""},
  };
  writeFileBytes("quelmo.cfg", stationFile(0, 1));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all("wave");
    fs::remove("debug.dat");
    try {
      c.make();
    } catch (const fs::filesystem_error&) {
      continue;  // no links here (Windows without the right to make them)
    }
    OrderRecordingPlatform runPlatform;
    FrontPanel runPanel{runPlatform};
    runPlatform.postEvent(event::closeRequest, 0);
    testing::internal::CaptureStderr();
    runQuelmo(runPanel);
    std::string errors = testing::internal::GetCapturedStderr();
    std::string line = std::string("no words in wave/: ") + c.why +
                       "; no recorded word can be heard, only the system's speech "
                       "(SYSTEM_SPEECH=1) speaks without them";
    std::string log = readFileBytes("debug.dat");
    if (*c.why == '\0') {
      EXPECT_EQ(errors.find("wave"), std::string::npos) << errors;
    } else {
      EXPECT_EQ(errors, "quelmo: " + line + "\n");
      EXPECT_NE(log.find("\r\nERR=" + line + "\r\n"), std::string::npos) << log;
    }
  }
}

// A Windows operator has no standard error, and no log unless asked for:
// the start's problems are heard and written to problems.txt, which a start
// without problems removes.
TEST_F(LifecycleTest, TheStartsProblemsAreInProblemsTxtUntilAStartWithout) {
  namespace fs = std::filesystem;
  const std::string badLine = "SPEECH_RATE=1,5";
  writeFileBytes("quelmo.cfg", stationFile(0, 0) + badLine + "\r\n");
  writeFileBytes("memory.dat", "V1.9\r\n");
  voiceFolderWith("okay.wav");
  auto start = [] {
    OrderRecordingPlatform runPlatform;
    FrontPanel runPanel{runPlatform};
    runPlatform.postEvent(event::closeRequest, 0);
    testing::internal::CaptureStderr();
    runQuelmo(runPanel);
    return std::pair{runPlatform.words(), testing::internal::GetCapturedStderr()};
  };
  auto [words, errors] = start();
  const std::vector<std::string> heard = {"quelmo", "1", "point", "9", "option", "invalid"};
  EXPECT_EQ(words, heard);
  EXPECT_EQ(readFileBytes("problems.txt"),
            "Quelmo 1.9 started on 06-12-2026 at 05:53:55 and found:\r\n"
            "quelmo.cfg line 9 \"SPEECH_RATE=1,5\" has a value other than 0.5 to 3: ignored\r\n"
            "memory.dat ends after line 1 of 24: the lines after are not taken\r\n");
  EXPECT_FALSE(fs::exists("debug.dat"));

  writeFileBytes("quelmo.cfg", stationFile(0, 0) + "SPEECH_RATE=1.5\r\n");
  std::tie(words, errors) = start();
  EXPECT_EQ(words.size(), 4U);
  EXPECT_FALSE(fs::exists("problems.txt"));

  // What stands in its place is left alone, and that is said where it can be.
  fs::create_directory("problems.txt");
  writeFileBytes("quelmo.cfg", stationFile(0, 0) + badLine + "\r\n");
  std::tie(words, errors) = start();
  EXPECT_TRUE(fs::is_directory("problems.txt"));
  EXPECT_NE(errors.find("quelmo: problems.txt is a folder: the problems of the start are not "
                        "written there\n"),
            std::string::npos)
      << errors;
}

// The radio is off and its port closed: a key still waiting would only
// pretend to act.
TEST_F(LifecycleTest, EventsStillWaitingWhenTheProgramEndsDoNothing) {
  writeFileBytes("quelmo.cfg", stationFile(0, 0));
  platform.postEvent(event::closeRequest, 0);
  platform.postEvent(event::keyDown, 'H');
  runQuelmo(panel);
  EXPECT_EQ(platform.words().back(), "9");  // of the greeting
  EXPECT_EQ(platform.calls.back(), "closeWindow");
}

// Tuning on a connected radio, then the end by the quit key or the close
// request (the close box, the window manager, a signal, the display gone):
// the tuning ends before anything else of the end, the memories are saved
// or the operator hears that they were not, the radio is switched off last,
// and a key still waiting does nothing.
TEST(ProgramEnd, EveryEndStopsATuningFirstSavesAndSwitchesTheRadioOff) {
  struct End {
    const char* name;
    int code;
    int key;
    int carrier;
    bool saveFails;
    std::vector<std::string> endCommands;
    std::vector<std::string> lastWords;
  };
  const std::vector<std::string> carrierOff = {"TX0;",         "PC100;", "MD01;",
                                               "FA007100000;", "FA;",    "PS0;"};
  const std::vector<std::string> tunerOff = {"AC001;", "FA;", "PS0;"};
  const End ends[] = {
      {"quit key, carrier", event::keyDown, 'Q', 1, false, carrierOff, {"on", "quit"}},
      {"close request, carrier", event::closeRequest, 0, 1, false, carrierOff, {"tune", "on"}},
      {"close request, tuner", event::closeRequest, 0, 0, false, tunerOff, {"tune", "on"}},
      {"quit key, full disk", event::keyDown, 'Q', 1, true, carrierOff, {"notsaved", "quit"}},
      {"close request, full disk", event::closeRequest, 0, 0, true, tunerOff, {"on", "notsaved"}},
  };
  for (const End& end : ends) {
    SCOPED_TRACE(end.name);
    TemporaryDirectory folder;
    writeFileBytes("quelmo.cfg", stationFile(1, 0, end.carrier));
    if (end.saveFails) std::filesystem::create_directory("memory.dat.new");
    ScriptedPlatform platform;
    Transceiver radio(1, false);
    platform.radio = [&radio](const std::string& command) { return radio.handleCommand(command); };
    FrontPanel panel(platform);
    for (int tick = 0; tick < 4; ++tick) platform.postEvent(event::timerTick, 1);  // found
    for (int code : {event::keyDown, event::keyUp}) platform.postEvent(code, 'T');
    platform.postEvent(end.code, end.key);
    platform.postEvent(event::keyDown, 'T');  // after the end: nothing
    runQuelmo(panel);

    std::vector<std::string> sent = platform.commands();
    auto tuned = std::find_if(sent.begin(), sent.end(),
                              [](const std::string& c) { return c == "TX1;" || c == "AC002;"; });
    ASSERT_LT(tuned, sent.end());
    EXPECT_EQ(std::vector<std::string>(tuned + 1, sent.end()), end.endCommands);
    std::vector<std::string> said = platform.words();
    EXPECT_EQ(std::vector<std::string>(said.end() - 2, said.end()), end.lastWords);
    std::string saved = readFileBytes("memory.dat");
    EXPECT_EQ(saved.find("\r\n1007100000\r\n") != std::string::npos, !end.saveFails) << saved;
  }
}

// Ending while the radio cannot be reached and a tuning is on, or its end
// is still owed (the tune key pressed while lost): the end commands go out
// in case the radio hears, and the operator is told the carrier may be on.
TEST(ProgramEnd, EndWhileTheRadioIsLostWarnsThatTheTuningMayBeOn) {
  struct Case {
    int tuneActive, tuneEndOwed, connected;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {1, 0, 0, {"tune", "on", "nc", "quit"}},
      {0, 1, 0, {"tune", "on", "nc", "quit"}},
      {1, 0, 1, {"quit"}},
      {0, 0, 0, {"quit"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tuneActive * 100 + c.tuneEndOwed * 10 + c.connected);
    TemporaryDirectory folder;
    ScriptedPlatform platform;
    FrontPanel panel(platform);
    panel.comPort = 1;
    platform.openSerial(1, 38400);
    panel.fillInitialBandMemory();
    panel.waveDir = "wave\\";
    panel.tuneCarrier = 1;
    panel.tuneActive = c.tuneActive;
    panel.tuneEndOwed = c.tuneEndOwed;
    panel.connectedSpoken = c.connected;
    panel.endProgram(true);
    EXPECT_EQ(platform.words(), c.words);
    std::vector<std::string> sent = platform.commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "TX0;"), c.tuneActive + c.tuneEndOwed);
  }
}

// The end saves where the radio is now: its last report can be older than
// the last keys (Q right after Page Up). The radio is asked once more; the
// reply to a query still waiting from before comes first and is passed over.
TEST(ProgramEnd, SavesTheFrequencyTheRadioGivesAtTheEnd) {
  struct Case {
    const char* name;
    int connected;
    const char* replies;
    const char* saved;
  };
  const Case cases[] = {
      {"answered after an echo, a meter and a late reply", 1, "FA;SM0120;FA007110000;FA007130000;",
       "007130000"},
      {"only the late reply", 1, "FA007110000;", "007100000"},
      {"silent", 1, "", "007100000"},
      {"lost: not asked", 0, "FA007130000;", "007100000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TemporaryDirectory folder;
    ScriptedPlatform platform;
    FrontPanel panel(platform);
    panel.comPort = 1;
    platform.openSerial(1, 38400);
    panel.fillInitialBandMemory();
    panel.connectedSpoken = c.connected;
    panel.reportedHz = 7'100'000;
    panel.pollQueries.asked({Question::frequency, 0, 0});
    platform.queueReply(c.replies);
    panel.endProgram(false);
    std::vector<std::string> sent = platform.commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "FA;"), c.connected);
    std::string saved = readFileBytes("memory.dat");
    EXPECT_NE(saved.find(std::string(c.saved) + "\r\n"), std::string::npos) << saved;
  }
}

}  // namespace
