// Words through waveOut. Under Wine the device is ALSA's file sink (the
// test's own .asoundrc), which keeps every sample it is given in the file
// QUELMO_SOUND_FILE names: the words of a phrase must follow each other there
// sample for sample, a waited word must be there before the wait ends, and a
// missing word must cost no time. The sink does not play in real time (Wine
// hands it samples as fast as it takes them), so how long a word takes is
// bounded from above only. The mute case runs on its own, with a sound
// device that cannot be opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/windows/wave_out_sound.h"
#include "wave_bytes.h"

namespace {

using Clock = std::chrono::steady_clock;
using Runs = std::vector<std::pair<std::int16_t, std::size_t>>;

// A waited word returns once the rest of it fits the next buffer handed to
// the device, which holds three more: up to four buffers early; the sink
// writes its file a buffer later still.
constexpr std::size_t releasedEarly = 5 * WaveOutSound::bufferFrames;

double secondsToPlay(WaveOutSound& sound, const std::string& name, bool wait = true) {
  auto start = Clock::now();
  sound.playSound(name, wait);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// What the device played while a test ran, from the sink's file, emptied
// when the test starts. (A sink still open from an earlier test goes on
// writing at its place in the file: silence fills the gap.)
class PlayedSamples {
 public:
  PlayedSamples()
      : file_(std::getenv("QUELMO_SOUND_FILE") ? std::getenv("QUELMO_SOUND_FILE") : "") {
    if (available()) std::ofstream(file_, std::ios::binary | std::ios::trunc);
  }
  bool available() const { return !file_.empty(); }
  // Runs of one value.
  Runs runs() const {
    std::string all = bytes();
    Runs runs;
    for (std::size_t i = 0; i + 1 < all.size(); i += 2) {
      auto s = static_cast<std::int16_t>(static_cast<unsigned char>(all[i]) |
                                         (static_cast<unsigned char>(all[i + 1]) << 8));
      if (!runs.empty() && runs.back().first == s) {
        ++runs.back().second;
      } else {
        runs.emplace_back(s, 1);
      }
    }
    return runs;
  }

 private:
  std::string bytes() const {
    std::ifstream in(file_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::string file_;
};

Runs withoutSilence(Runs runs) {
  std::erase_if(runs, [](const auto& run) { return run.first == 0; });
  return runs;
}

class SoundTest : public ::testing::Test {
 protected:
  SoundTest() { std::filesystem::create_directory("wave"); }
  void makeWord(const std::string& file, std::int16_t value, std::size_t samples,
                int rate = 44100) {
    writeFileBytes("wave/" + file, constantWord(value, samples, rate));
  }
  // The name as the program forms it: the folder prefix ends in "\".
  static std::string word(const std::string& name) { return "wave\\" + name; }

  // How many samples of this value the device has been given so far.
  std::size_t samplesOf(std::int16_t value) const {
    std::size_t count = 0;
    for (const auto& [v, n] : played.runs()) count += v == value ? n : 0;
    return count;
  }

  TemporaryDirectory folder;
  PlayedSamples played;
};

TEST_F(SoundTest, AWaitedWordIsWithTheDeviceAndAPhraseHasNoGap) {
  ASSERT_TRUE(played.available()) << "QUELMO_SOUND_FILE names no sound sink";
  makeWord("one.wav", 1000, 2500);
  makeWord("two.wav", 2000, 3100);
  makeWord("three.wav", 3000, 17640);       // 0.4 s
  makeWord("slow.wav", 4000, 6615, 22050);  // 0.3 s, converted to the device's rate
  auto sound = std::make_unique<WaveOutSound>();
  // Decoded first: Wine's sink takes the samples faster than they play, so
  // the next word has only Wine's 10 ms period, not a buffer's 23 ms, to be
  // queued in.
  for (const char* name : {"one", "two", "three", "slow"}) sound->playSound(word(name), false);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  played = PlayedSamples();
  for (const char* name : {"one", "two", "three"}) sound->playSound(word(name), true);
  EXPECT_GE(samplesOf(3000), 17640 - releasedEarly);
  EXPECT_LT(secondsToPlay(*sound, word("slow")), 0.3 + 0.3);
  EXPECT_GE(samplesOf(4000), 13230 - releasedEarly);
  sound->playSound(word("one"), true);
  EXPECT_FALSE(sound->isMute());
  sound.reset();  // the last word is heard to its end before the device closes

  Runs runs = played.runs();
  EXPECT_EQ(withoutSilence(runs),
            (Runs{{1000, 2500}, {2000, 3100}, {3000, 17640}, {4000, 13230}, {1000, 2500}}));
  auto first = std::find_if(runs.begin(), runs.end(), [](const auto& r) { return r.first != 0; });
  auto last = std::find_if(runs.rbegin(), runs.rend(), [](const auto& r) { return r.first != 0; });
  EXPECT_EQ(std::count_if(first, last.base(), [](const auto& r) { return r.first == 0; }), 0)
      << "silence between the words: " << ::testing::PrintToString(runs);
}

TEST_F(SoundTest, NamesFindTheirFileWithOrWithoutExtensionAndInAnyCase) {
  makeWord("9.wav", 900, 11025);  // 0.25 s
  makeWord("power.wav", 901, 11025);
  WaveOutSound sound;
  std::size_t expected = 0;
  for (const char* name : {"9", "9.wav", "Power", "POWER.WAV"}) {
    EXPECT_LT(secondsToPlay(sound, word(name)), 0.25 + 0.3) << name;
    expected += 11025;
    if (played.available()) {
      EXPECT_GE(samplesOf(900) + samplesOf(901), expected - releasedEarly) << name;
    }
  }
}

TEST_F(SoundTest, MissingWordsCostNothingAndTheHelpPlaysOnUntilAWordStopsIt) {
  makeWord("help.wav", 6000, 88200);  // 2 s
  makeWord("ok.wav", 7000, 8820);     // 0.2 s
  writeFileBytes("wave/damaged.wav", "RIFF....WAVEfmt ");
  auto sound = std::make_unique<WaveOutSound>();
  EXPECT_LT(secondsToPlay(*sound, word("help.wav"), false), 0.1);
  // The silent S-meter refresh asks for words under a prefix with no files.
  auto start = Clock::now();
  for (const char* name : {"xxs.wav", "xx9.wav", "wave\\gt5", "wave\\damaged"}) {
    for (int i = 0; i < 25; ++i) sound->playSound(name, true);
  }
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count() / 100, 0.001);
  EXPECT_TRUE(sound->isPlaying());
  // On a loaded machine Wine may not have handed the sink any of the help
  // yet; the word below must stop a help that has been heard.
  for (auto until = Clock::now() + std::chrono::seconds(1);
       played.available() && samplesOf(6000) == 0 && Clock::now() < until;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  EXPECT_LT(secondsToPlay(*sound, word("ok")), 0.2 + 0.3);
  EXPECT_FALSE(sound->isPlaying());
  sound.reset();
  if (!played.available()) return;
  Runs runs = withoutSilence(played.runs());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].first, 6000);
  EXPECT_LT(runs[0].second, 44100u);  // cut short well before its two seconds
  EXPECT_EQ(runs[1], (std::pair<std::int16_t, std::size_t>{7000, 8820}));
}

// SPEECH_CUT: a key waiting stops the word at once, and the device plays the
// next word as ever.
TEST_F(SoundTest, AKeyStopsAWordPlayedUntilAKey) {
  makeWord("help.wav", 6000, 88200);  // 2 s
  makeWord("ok.wav", 7000, 8820);     // 0.2 s
  WaveOutSound sound;
  sound.playSound(word("ok"), true);  // opens the device
  auto start = Clock::now();
  bool keyCame = false;
  EXPECT_FALSE(sound.playSoundUntil(word("help"), [&] {
    keyCame = Clock::now() - start > std::chrono::milliseconds(100);
    return keyCame;
  }));
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 0.5);
  EXPECT_FALSE(sound.isPlaying());
  EXPECT_TRUE(sound.playSoundUntil(word("ok"), [] { return false; }));
  EXPECT_TRUE(sound.playSoundUntil(word("missing"), [] { return true; }));
  if (played.available()) {
    EXPECT_GE(samplesOf(7000), 2 * 8820 - releasedEarly);
  }
}

TEST_F(SoundTest, MuteWithoutASoundDeviceEveryWordReturnsAtOnceButAPauseTakesItsTime) {
  makeWord("connected.wav", 100, 22050);  // 0.5 s
  WaveOutSound sound;
  secondsToPlay(sound, word("connected"));  // looks for a device, once
  EXPECT_TRUE(sound.isMute());
  EXPECT_LT(secondsToPlay(sound, word("connected")), 0.005);
  // A pause keeps its time.
  auto start = Clock::now();
  sound.pauseForSound(word("connected"));
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GT(seconds, 0.45);
  EXPECT_LT(seconds, 0.8);
}

}  // namespace
