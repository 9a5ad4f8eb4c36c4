// Words through SDL2_mixer on SDL's dummy audio driver, which plays in real
// time without a sound card: a word must take as long as its recording, a
// missing word no time at all.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/desktop/sdl_sound.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsToPlay(SdlSound& sound, const std::string& name, bool wait = true) {
  auto start = Clock::now();
  sound.playSound(name, wait);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class SoundTest : public ::testing::Test {
 protected:
  SoundTest() {
    folder_ = std::filesystem::temp_directory_path() /
              ("quelmo-sound-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_ / "wave");
  }
  ~SoundTest() override { std::filesystem::remove_all(folder_); }

  // A tone of the given length in the test's wave folder.
  void makeWord(const std::string& file, double seconds) {
    std::string command = "sox -n -r 22050 -c 1 -b 16 '" + (folder_ / "wave" / file).string() +
                          "' synth " + std::to_string(seconds) + " sine 440";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  // The name as the program forms it: the folder prefix ends in "\".
  std::string word(const std::string& name) const {
    return (folder_ / "wave").string() + "\\" + name;
  }

  std::filesystem::path folder_;
};

TEST_F(SoundTest, WordTakesTheLengthOfItsRecording) {
  makeWord("point.wav", 0.4);
  SdlSound sound;
  secondsToPlay(sound, word("point"));  // opens the device and decodes
  double seconds = secondsToPlay(sound, word("point"));
  EXPECT_GT(seconds, 0.36);
  EXPECT_LT(seconds, 0.46);
  EXPECT_FALSE(sound.isPlaying());
}

TEST_F(SoundTest, NamesFindTheirFileWithOrWithoutExtensionAndInAnyCase) {
  makeWord("9.wav", 0.25);
  makeWord("power.wav", 0.25);
  SdlSound sound;
  for (const char* name : {"9", "9.wav", "Power", "POWER.WAV"}) {
    double seconds = secondsToPlay(sound, word(name));
    EXPECT_GT(seconds, 0.22) << name;
    EXPECT_LT(seconds, 0.40) << name;
  }
}

TEST_F(SoundTest, MissingWordTakesNoTime) {
  makeWord("s.wav", 0.3);
  SdlSound sound;
  EXPECT_LT(secondsToPlay(sound, word("gt5")), 0.005);
  EXPECT_LT(secondsToPlay(sound, "xxs.wav"), 0.005);
  EXPECT_LT(secondsToPlay(sound, "nowhere\\at\\all\\9"), 0.005);
  // Once the folder is known, a missing word is a look-up.
  auto start = Clock::now();
  for (int i = 0; i < 100; ++i) sound.playSound(word("xx9.wav"), true);
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count() / 100, 0.0005);
}

TEST_F(SoundTest, HelpPlaysOnUntilAnExistingWordStopsIt) {
  makeWord("help.wav", 2.0);
  makeWord("ok.wav", 0.2);
  SdlSound sound;
  EXPECT_LT(secondsToPlay(sound, word("help.wav"), false), 0.1);
  EXPECT_TRUE(sound.isPlaying());

  // The silent S-meter refresh asks for words under a prefix with no files.
  secondsToPlay(sound, "xxs.wav");
  secondsToPlay(sound, "xx9.wav");
  EXPECT_TRUE(sound.isPlaying());

  // A word that exists stops the help and is heard to its own end.
  double seconds = secondsToPlay(sound, word("ok"));
  EXPECT_GT(seconds, 0.17);
  EXPECT_LT(seconds, 0.35);
  EXPECT_FALSE(sound.isPlaying());
}

TEST_F(SoundTest, WithoutASoundDeviceEveryWordReturnsAtOnce) {
  makeWord("connected.wav", 0.5);
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  std::string previous = driver != nullptr ? driver : "";
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  {
    SdlSound sound;
    EXPECT_LT(secondsToPlay(sound, word("connected")), 0.05);
    EXPECT_TRUE(sound.isMute());
  }
  if (driver != nullptr) {
    ::setenv("SDL_AUDIODRIVER", previous.c_str(), 1);
  } else {
    ::unsetenv("SDL_AUDIODRIVER");
  }
}

}  // namespace
