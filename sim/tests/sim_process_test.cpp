// quelmo-sim as a separate process on its pseudo-terminal, seen from COM1.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <set>
#include <thread>

#include "sim_process.h"

namespace {

using namespace std::chrono_literals;

std::int64_t realtimeUsNow() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// `prefix`, three digits and ";": the form of every meter reply.
bool isMeterReply(const std::string& reply, const std::string& prefix) {
  if (reply.size() != prefix.size() + 4 || reply.compare(0, prefix.size(), prefix) != 0) return false;
  if (reply.back() != ';') return false;
  for (std::size_t i = prefix.size(); i < reply.size() - 1; ++i) {
    if (reply[i] < '0' || reply[i] > '9') return false;
  }
  return true;
}

bool exitedCleanly(int status) { return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }

}  // namespace

TEST(SimProcess, AnswersQueriesAndKeepsWhatWasSet) {
  SimProcess sim;
  ASSERT_TRUE(sim.ready());
  EXPECT_EQ(sim.ask("FA;"), "FA007100000;");
  EXPECT_TRUE(isMeterReply(sim.ask("SM0;"), "SM0"));
  EXPECT_EQ(sim.ask("RM6;"), "RM6000;");

  // Several commands in one write, as a burst of keys would give.
  sim.send("FA014200000;MD02;PA01;");
  EXPECT_EQ(sim.ask("FA;"), "FA014200000;");
  EXPECT_EQ(sim.ask("MD0;"), "MD02;");

  // Set commands and text that is no command are not answered; a command
  // the radio does not know ("XY12") or cannot take ("FA00", too few
  // digits) is refused. None changes anything.
  sim.send("PA00;Power on;FA00;XY12;\r\n;");
  EXPECT_EQ(sim.readFor(150), "?;?;");
  EXPECT_EQ(sim.ask("FA;"), "FA014200000;");
}

TEST(SimProcess, LogsEveryCommandWithItsArrivalTime) {
  SimProcess sim;
  ASSERT_TRUE(sim.ready());
  const auto before = realtimeUsNow();
  sim.send("FA;");
  sim.readReply();
  sim.send("PC0050;Power on;");
  std::this_thread::sleep_for(100ms);
  sim.send("\x01;");
  std::this_thread::sleep_for(100ms);
  const auto after = realtimeUsNow();

  const auto lines = sim.logLines();
  ASSERT_EQ(lines.size(), 4u);
  std::vector<std::string> commands;
  std::int64_t previousMonotonic = 0;
  for (const auto& line : lines) {
    std::istringstream parts(line);
    std::int64_t realtime = 0;
    std::int64_t monotonic = 0;
    std::string command;
    ASSERT_TRUE(parts >> realtime >> monotonic >> command) << line;
    std::string rest;
    std::getline(parts, rest);
    command += rest;
    EXPECT_GE(realtime, before);
    EXPECT_LE(realtime, after);
    EXPECT_GE(monotonic, previousMonotonic);
    previousMonotonic = monotonic;
    commands.push_back(command);
  }
  EXPECT_EQ(commands, (std::vector<std::string>{"FA;", "PC0050;", "Power on;", "\\x01;"}));
}

TEST(SimProcess, TransmittingMovesTheSwrAndTheSMeterWanders) {
  SimProcess sim;
  ASSERT_TRUE(sim.ready());
  sim.send("TX1;");
  std::set<std::string> swr;
  std::set<std::string> sMeter;
  for (int i = 0; i < 8; ++i) {
    std::this_thread::sleep_for(110ms);
    const std::string reply = sim.ask("RM6;");
    ASSERT_TRUE(isMeterReply(reply, "RM6")) << reply;
    const int reading = std::stoi(reply.substr(3, 3));
    ASSERT_GE(reading, 100);
    ASSERT_LE(reading, 140);
    swr.insert(reply);
    sMeter.insert(sim.ask("SM0;"));
  }
  EXPECT_GT(swr.size(), 3u);
  EXPECT_GT(sMeter.size(), 1u);
  sim.send("TX0;");
  EXPECT_EQ(sim.ask("RM6;"), "RM6000;");
}

TEST(SimProcess, SwitchedOffAnswersNothingUntilPowerOn) {
  SimProcess sim({"--off"});
  ASSERT_TRUE(sim.ready());
  EXPECT_EQ(sim.ask("FA;", 200), "");
  sim.send("FA014000000;");
  sim.send("Power on;PS1;");
  EXPECT_EQ(sim.ask("FA;"), "FA007100000;");
  sim.send("PS0;");
  EXPECT_EQ(sim.ask("FA;", 200), "");
  EXPECT_EQ(sim.logLines().size(), 7u) << "commands are logged whether or not obeyed";
}

TEST(SimProcess, KnobLinesTurnTheRadiosOwnControls) {
  SimProcess sim;
  ASSERT_TRUE(sim.ready());
  sim.turnKnob("freq 14250000");
  sim.turnKnob("mode 3");
  sim.turnKnob("smeter 200");
  EXPECT_EQ(sim.ask("FA;"), "FA014250000;");
  EXPECT_EQ(sim.ask("MD0;"), "MD03;");
  const int reading = std::stoi(sim.ask("SM0;").substr(3, 3));
  EXPECT_NEAR(reading, 200, 30);
  sim.turnKnob("off");
  EXPECT_EQ(sim.ask("FA;", 200), "");
  sim.turnKnob("on");
  EXPECT_EQ(sim.ask("FA;"), "FA014250000;");
  sim.turnKnob("hangup");
  EXPECT_TRUE(sim.waitForHangup(1000));
  EXPECT_TRUE(exitedCleanly(sim.waitForExit(1000)));
  EXPECT_FALSE(std::filesystem::is_symlink(sim.link()));
}

// A knob line "after" a while takes effect then, on the simulator's own
// clock, and every knob line is logged as it takes effect: a test can turn
// the knob by hand's pace and tell how long after the turn a key came.
TEST(SimProcess, KnobLinesLaterTakeEffectThenAndAreLogged) {
  SimProcess sim;
  ASSERT_TRUE(sim.ready());
  sim.turnKnob("after 300 freq 14250000");
  sim.turnKnob("after 300 mode 2");
  EXPECT_EQ(sim.ask("FA;"), "FA007100000;");
  std::this_thread::sleep_for(350ms);
  EXPECT_EQ(sim.ask("FA;"), "FA014250000;");
  EXPECT_EQ(sim.ask("MD0;"), "MD02;");

  std::map<std::string, std::int64_t> knobAt;  // the knob lines, by when they took effect
  for (const std::string& line : sim.logLines()) {
    std::istringstream fields(line);
    std::int64_t realtime = 0;
    std::int64_t monotonic = 0;
    std::string text;
    fields >> realtime >> monotonic >> std::ws;
    std::getline(fields, text);
    if (text.rfind("knob ", 0) == 0) knobAt[text] = monotonic;
  }
  ASSERT_EQ(knobAt.size(), 4u);
  std::int64_t waited = knobAt["knob freq 14250000"] - knobAt["knob after 300 freq 14250000"];
  EXPECT_GE(waited, 300'000);
  EXPECT_LT(waited, 400'000);
}

TEST(SimProcess, FaultOptionsSilentDelayPacedSplitGarbleSteady) {
  {
    SimProcess sim({"--silent"});
    ASSERT_TRUE(sim.ready());
    sim.send("FA014200000;");
    EXPECT_EQ(sim.ask("FA;", 200), "");
    EXPECT_EQ(sim.logLines().size(), 2u);
  }
  {
    SimProcess sim({"--delay", "200"});
    ASSERT_TRUE(sim.ready());
    sim.send("FA;");
    EXPECT_EQ(sim.readReply(150), "") << "too early";
    EXPECT_EQ(sim.readReply(200), "FA007100000;");
  }
  {
    SimProcess sim({"--split=150"});
    ASSERT_TRUE(sim.ready());
    sim.send("FA;");
    EXPECT_EQ(sim.readFor(100), "FA0071");
    EXPECT_EQ(sim.readReply(200), "00000;");
  }
  {
    // At 4800 baud a character takes 2.3 ms: the query is in after 7 ms,
    // and the reply's twelve bytes follow one by one after the delay.
    SimProcess sim({"--baud", "4800", "--delay", "20"});
    ASSERT_TRUE(sim.ready());
    const auto start = std::chrono::steady_clock::now();
    sim.send("FA;");
    const std::string first = sim.readFor(35);
    const std::string rest = sim.readReply(500);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(first.size(), 12u) << first;
    EXPECT_EQ(first + rest, "FA007100000;");
    EXPECT_GE(took, 54ms);
  }
  {
    SimProcess sim({"--steady"});
    ASSERT_TRUE(sim.ready());
    sim.turnKnob("smeter 200");
    std::this_thread::sleep_for(50ms);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(sim.ask("SM0;"), "SM0200;");
      std::this_thread::sleep_for(110ms);
    }
  }
  {
    SimProcess sim({"--garble", "1"});
    ASSERT_TRUE(sim.ready());
    const std::string reply = sim.ask("FA;", 200);
    EXPECT_NE(reply, "FA007100000;");
  }
}

TEST(SimProcess, HangupAfterAndSigtermEndCleanlyAndRemoveTheLink) {
  {
    SimProcess sim({"--hangup-after", "0.3"});
    ASSERT_TRUE(sim.ready());
    EXPECT_EQ(sim.ask("FA;"), "FA007100000;");
    EXPECT_TRUE(sim.waitForHangup(1500));
    EXPECT_TRUE(exitedCleanly(sim.waitForExit(1000)));
    EXPECT_FALSE(std::filesystem::is_symlink(sim.link()));
  }
  {
    SimProcess sim({"--port", "3"});
    ASSERT_FALSE(sim.ready()) << "COM1 is not made when another port is asked";
    EXPECT_TRUE(std::filesystem::is_symlink(sim.folder() / "COM3"));
    EXPECT_TRUE(exitedCleanly(sim.terminate()));
    EXPECT_FALSE(std::filesystem::is_symlink(sim.folder() / "COM3"));
  }
}

// A USB adapter pulled and plugged in again, or plugged in only after the
// start: the link stays and leads nowhere meanwhile; the radio keeps its state.
TEST(SimProcess, UnpluggedAndPluggedInAgainBehindTheSameLink) {
  SimProcess sim;
  ASSERT_TRUE(sim.ready());
  EXPECT_EQ(sim.ask("ID;"), "ID0670;");
  sim.send("FA014200000;");
  sim.turnKnob("unplug");
  EXPECT_TRUE(sim.waitForHangup(1000));
  EXPECT_TRUE(std::filesystem::is_symlink(sim.link()));
  EXPECT_FALSE(sim.reopen()) << "the link of a pulled adapter leads nowhere";
  sim.turnKnob("plug");
  ASSERT_TRUE(sim.reopen());
  EXPECT_EQ(sim.ask("FA;"), "FA014200000;");

  SimProcess late({"--unplugged"});
  EXPECT_FALSE(late.ready());
  EXPECT_TRUE(std::filesystem::is_symlink(late.link()));
  late.turnKnob("plug");
  ASSERT_TRUE(late.reopen());
  EXPECT_EQ(late.ask("ID;"), "ID0670;");
  EXPECT_TRUE(exitedCleanly(late.terminate()));
  EXPECT_FALSE(std::filesystem::is_symlink(late.link()));
}
