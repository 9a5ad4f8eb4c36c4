// Options after the eighth line of "quelmo.cfg": what each line sets, what is
// reported and ignored, and that a file of eight lines changes nothing.
#include "app/options.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/speech_rate.h"

namespace {

const std::vector<std::string> eightLines = {"COM=1", "BAUD= 38400", "POWER=100", "SWR=0",
                                             "TUN=1", "BANDS  =7",   "PWRCTL=0",  "DEBUG=1"};

class OptionsTest : public FrontPanelTest {
 protected:
  // Reads the eight lines and these after them, and opens the log as the
  // opening sequence does; returns what went to standard error.
  std::string readWith(const std::vector<std::string>& options) {
    std::string bytes;
    for (const auto& line : eightLines) bytes += line + "\r\n";
    for (const auto& line : options) bytes += line + "\r\n";
    writeFileBytes("quelmo.cfg", bytes);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(panel.readConfiguration());
    panel.versionText = "1.9";
    panel.openingSequence();
    return testing::internal::GetCapturedStderr();
  }

  std::vector<std::string> loggedProblems() const {
    std::vector<std::string> lines;
    std::string log = readFileBytes("debug.dat");
    for (std::size_t end; (end = log.find("\r\n")) != std::string::npos; log.erase(0, end + 2)) {
      if (log.rfind("ERR=", 0) == 0) lines.push_back(log.substr(0, end));
    }
    return lines;
  }
};

TEST_F(OptionsTest, EachLineSetsItsOptionAndBadLinesAreReportedAndIgnored) {
  struct Case {
    std::string line;
    int cut;
    double rate;
    int changes;
    bool reported;
  };
  const std::vector<Case> cases = {
      {"SPEECH_CUT=1", 1, 1, 0, false},          {"speech_rate = 1.5", 0, 1.5, 0, false},
      {"SPEECH_RATE=0.5", 0, 0.5, 0, false},     {"SPEECH_RATE=3", 0, 3, 0, false},
      {"SPEAK_RADIO_CHANGES=1", 0, 1, 1, false}, {"", 0, 1, 0, false},
      {"SPEECH_RATE=3.5", 0, 1, 0, true},        {"SPEECH_RATE=0.4", 0, 1, 0, true},
      {"SPEECH_RATE=fast", 0, 1, 0, true},       {"SPEECH_RATE=", 0, 1, 0, true},
      {"SPEECH_RATE=nan", 0, 1, 0, true},        {"SPEECH_CUT=2", 0, 1, 0, true},
      {"SPEECH_CUT=0.5", 0, 1, 0, true},         {"SPEECH_CUTS=1", 0, 1, 0, true},
      {"SPEECH_CUT 1", 0, 1, 0, true},           {"VOLUME=5", 0, 1, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    FrontPanel fresh(platform);
    std::string bytes;
    for (const auto& line : eightLines) bytes += line + "\r\n";
    writeFileBytes("quelmo.cfg", bytes + c.line + "\r\n");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(fresh.readConfiguration());
    std::string stderrText = testing::internal::GetCapturedStderr();
    EXPECT_EQ(fresh.speechCut, c.cut);
    EXPECT_DOUBLE_EQ(fresh.speechRate, c.rate);
    EXPECT_DOUBLE_EQ(platform.speechRate, c.rate);
    EXPECT_EQ(fresh.speakRadioChanges, c.changes);
    EXPECT_EQ(fresh.debugFlag, 1);  // the eight lines are read as ever
    EXPECT_EQ(stderrText.find("quelmo.cfg line 9") != std::string::npos, c.reported) << stderrText;
    EXPECT_EQ(fresh.unloggedProblems.size(), c.reported ? 1U : 0U);
  }
}

TEST_F(OptionsTest, ReportsReachTheTrafficLogOpenedAfterTheFile) {
  std::string reported = readWith({"SPEECH_RATE=2", "SPEECH_RATE=9", "", "COLOUR=red"});
  EXPECT_DOUBLE_EQ(panel.speechRate, 2);  // a bad line leaves a good one standing
  EXPECT_EQ(
      reported,
      "quelmo: quelmo.cfg line 10 \"SPEECH_RATE=9\" has a value other than 0.5 to 3: ignored\n"
      "quelmo: quelmo.cfg line 12 \"COLOUR=red\" names no option the program knows: "
      "ignored\n");
  EXPECT_EQ(loggedProblems(),
            (std::vector<std::string>{
                "ERR=quelmo.cfg line 10 \"SPEECH_RATE=9\" has a value other than 0.5 to 3: ignored",
                "ERR=quelmo.cfg line 12 \"COLOUR=red\" names no option the program knows: "
                "ignored"}));
  EXPECT_TRUE(panel.unloggedProblems.empty());
}

// A Windows program has no standard error: a line not taken is heard, once
// however many there are, in the speech the options chose.
TEST_F(OptionsTest, LinesNotTakenAreHeardOnceAsOptionInvalid) {
  struct Case {
    std::vector<std::string> options;
    std::vector<std::string> words;
    std::vector<std::string> speech;
  };
  const std::vector<Case> cases = {
      {{"SPEECH_RATE=1,5"}, {"option", "invalid"}, {}},
      {{"SPEECH_RATE=1,5", "SPEECH_CUT=1", "VOLUME=5"}, {"option", "invalid"}, {}},
      {{"SPEECH_RATE=1.5", "", "SPEECH_CUT=1"}, {}, {}},
      {{"SYSTEM_SPEECH=1", "SPEECH_RATE=1,5"}, {}, {"answer: option invalid"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options.front());
    platform.clearRecords();
    FrontPanel fresh(platform);
    fresh.waveDir = "wave\\";
    std::string bytes;
    for (const auto& line : eightLines) bytes += line + "\r\n";
    for (const auto& line : c.options) bytes += line + "\r\n";
    writeFileBytes("quelmo.cfg", bytes);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(fresh.readConfiguration());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(words(), c.words);
    EXPECT_EQ(platform.speech, c.speech);
  }
}

TEST_F(OptionsTest, AnEightLineFileSendsAndSaysWhatItAlwaysDid) {
  // The same start with and without the options at their defaults.
  std::string reported = readWith({});
  std::string commandsWithout = platform.portBytes;
  std::vector<SoundRequest> soundsWithout = platform.sounds;
  EXPECT_EQ(reported, "");
  EXPECT_TRUE(loggedProblems().empty());
  EXPECT_DOUBLE_EQ(platform.speechRate, 1);

  platform.portBytes.clear();
  platform.sounds.clear();
  FrontPanel defaults(platform);
  std::string bytes;
  for (const auto& line : eightLines) bytes += line + "\r\n";
  writeFileBytes("quelmo.cfg",
                 bytes + "SPEECH_CUT=0\r\nSPEECH_RATE=1\r\nSPEAK_RADIO_CHANGES=0\r\n");
  ASSERT_TRUE(defaults.readConfiguration());
  defaults.comPort = 1;
  defaults.openingSequence();
  EXPECT_EQ(platform.portBytes, commandsWithout);
  EXPECT_EQ(platform.sounds.size(), soundsWithout.size());
  for (const SoundRequest& sound : platform.sounds) EXPECT_FALSE(sound.untilKey);
}

// A voiced sound: 200 Hz pulses, each a decaying 1 kHz ring, as a vowel.
std::vector<std::int16_t> vowel(double seconds, int rate) {
  std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * rate));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    double t = static_cast<double>(i % (rate / 200)) / rate;
    samples[i] = static_cast<std::int16_t>(12000 * std::exp(-t * 600) *
                                           std::cos(2 * std::numbers::pi * 1000 * t));
  }
  return samples;
}

// The strongest period between 2 and 10 ms, by autocorrelation, in samples.
int pitchPeriod(const std::vector<std::int16_t>& s, int rate) {
  int best = 0;
  double bestScore = 0;
  std::size_t middle = s.size() / 4;
  for (int lag = rate / 500; lag <= rate / 100; ++lag) {
    double score = 0;
    for (std::size_t i = middle; i < middle + 2000 && i + lag < s.size(); ++i) {
      score += static_cast<double>(s[i]) * s[i + static_cast<std::size_t>(lag)];
    }
    if (score > bestScore) {
      bestScore = score;
      best = lag;
    }
  }
  return best;
}

TEST(SpeechRate, AWordTakesOneRthOfItsTimeAtTheSamePitch) {
  constexpr int rate = 44100;
  const auto word = vowel(0.6, rate);
  ASSERT_EQ(pitchPeriod(word, rate), rate / 200);
  for (double r : {0.5, 0.75, 1.5, 2.0, 3.0}) {
    SCOPED_TRACE(r);
    auto heard = speechRate::atRate(word, rate, r);
    EXPECT_NEAR(static_cast<double>(heard.size()), word.size() / r, 0.05 * word.size() / r);
    EXPECT_NEAR(pitchPeriod(heard, rate), rate / 200, 2);
  }
  EXPECT_EQ(speechRate::atRate(word, rate, 1.0), word);
  EXPECT_EQ(speechRate::atRate(word, rate, 5.0), word);  // outside the range: as recorded
}

}  // namespace
