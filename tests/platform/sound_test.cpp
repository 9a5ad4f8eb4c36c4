// Words through the sound layer on SDL's dummy audio driver, which plays in real
// time without a sound card: a word must take as long as its recording (less
// at most its last two buffers, the last of which the next word shares), a missing
// word no time at all. The disk driver, which writes every sample the device
// is given to a file, shows how the words of a phrase join.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/desktop/sdl_sound.h"
#include "platform/word_bounds.h"

namespace {

using Clock = std::chrono::steady_clock;

// A waited word returns once the rest of it fits the device's next three
// buffers (512 frames, 11.6 ms each), that is when the device takes the
// buffer before that: up to four buffers before its last sample has played.
constexpr double releasedEarly = 0.05;

// The shortest time a waited word of these seconds may take. SDL's dummy
// driver waits a buffer's time in whole milliseconds, 11 ms for 11.6 ms, so
// it plays about 5 % fast.
constexpr double shortest(double seconds) {
  return seconds * 11.0 / (512 * 1000.0 / 44100) - releasedEarly;
}

// Sets environment variables for the life of a test and puts them back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::initializer_list<std::pair<const char*, std::string>> values) {
    for (const auto& [name, value] : values) {
      const char* old = std::getenv(name);
      saved_.push_back({name, old != nullptr, old != nullptr ? old : ""});
      ::setenv(name, value.c_str(), 1);
    }
  }
  ~ScopedEnvironment() {
    for (const Saved& s : saved_) {
      if (s.existed) {
        ::setenv(s.name, s.value.c_str(), 1);
      } else {
        ::unsetenv(s.name);
      }
    }
  }

 private:
  struct Saved {
    const char* name;
    bool existed;
    std::string value;
  };
  std::vector<Saved> saved_;
};

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
  // A word of one sample value throughout, by default in the device's own
  // format.
  void makeConstantWord(const std::string& file, std::int16_t value, std::uint32_t samples,
                        std::uint32_t rate = 44100, std::uint16_t channels = 1) {
    std::uint32_t bytes = samples * 2 * channels;
    std::ofstream wav(folder_ / "wave" / file, std::ios::binary);
    auto put32 = [&wav](std::uint32_t v) { wav.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&wav](std::uint16_t v) { wav.write(reinterpret_cast<const char*>(&v), 2); };
    wav.write("RIFF", 4);
    put32(36 + bytes);
    wav.write("WAVEfmt ", 8);
    put32(16);
    put16(1);  // PCM
    put16(channels);
    put32(rate);
    put32(rate * 2 * channels);
    put16(2 * channels);
    put16(16);
    wav.write("data", 4);
    put32(bytes);
    std::vector<std::int16_t> data(samples * channels, value);
    wav.write(reinterpret_cast<const char*>(data.data()), bytes);
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
  EXPECT_GT(seconds, shortest(0.4));
  EXPECT_LT(seconds, 0.60);  // the dummy driver runs late on a busy machine
  EXPECT_FALSE(sound.isPlaying());
}

TEST_F(SoundTest, NamesFindTheirFileWithOrWithoutExtensionAndInAnyCase) {
  makeWord("9.wav", 0.25);
  makeWord("power.wav", 0.25);
  SdlSound sound;
  for (const char* name : {"9", "9.wav", "Power", "POWER.WAV"}) {
    double seconds = secondsToPlay(sound, word(name));
    EXPECT_GT(seconds, shortest(0.25)) << name;
    EXPECT_LT(seconds, 0.45) << name;
  }
}

TEST_F(SoundTest, MissingWordTakesNoTime) {
  makeWord("s.wav", 0.3);
  SdlSound sound;
  EXPECT_LT(secondsToPlay(sound, word("gt5")), 0.02);
  EXPECT_LT(secondsToPlay(sound, "xxs.wav"), 0.02);
  EXPECT_LT(secondsToPlay(sound, "nowhere\\at\\all\\9"), 0.02);
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
  EXPECT_GT(seconds, shortest(0.2));
  EXPECT_LT(seconds, 0.45);
  EXPECT_FALSE(sound.isPlaying());
}

TEST_F(SoundTest, WordsOfAPhraseFollowEachOtherWithoutAGap) {
  // Lengths that end anywhere within a buffer.
  const std::vector<std::pair<std::int16_t, std::uint32_t>> phrase = {
      {1000, 2500}, {2000, 3100}, {3000, 1700}, {1000, 2500}};
  makeConstantWord("one.wav", 1000, 2500);
  makeConstantWord("two.wav", 2000, 3100);
  makeConstantWord("three.wav", 3000, 1700);
  std::string output = (folder_ / "output.raw").string();
  {
    ScopedEnvironment disk({{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", output}});
    SdlSound sound;
    for (const char* name : {"one", "two", "three", "one"}) sound.playSound(word(name), true);
  }  // the last word is heard to its end before the device closes

  std::ifstream raw(output, std::ios::binary);
  std::vector<std::int16_t> samples;
  std::int16_t sample = 0;
  while (raw.read(reinterpret_cast<char*>(&sample), sizeof sample)) samples.push_back(sample);
  // The output as runs of one value: silence, the words back to back, silence.
  std::vector<std::pair<std::int16_t, std::uint32_t>> runs;
  for (std::int16_t s : samples) {
    if (!runs.empty() && runs.back().first == s) {
      ++runs.back().second;
    } else {
      runs.emplace_back(s, 1);
    }
  }
  std::erase_if(runs, [](const auto& run) { return run.first == 0; });
  EXPECT_EQ(runs, phrase);
  auto firstWord = std::find(samples.begin(), samples.end(), 1000);
  auto afterLast = std::find(samples.rbegin(), samples.rend(), 1000).base();
  EXPECT_EQ(std::count(firstWord, afterLast, 0), 0) << "silence between the words";
}

// Every word returns at once, but a word that serves as a wait still takes
// its time: the radio waking up needs it whether or not it is heard.
TEST_F(SoundTest, WithoutASoundDeviceEveryWordReturnsAtOnceButAPauseTakesItsTime) {
  makeWord("connected.wav", 0.5);
  makeWord("delay.wav", 0.4);
  ScopedEnvironment noDevice({{"SDL_AUDIODRIVER", "no-such-driver"}});
  SdlSound sound;
  EXPECT_LT(secondsToPlay(sound, word("connected")), 0.05);
  EXPECT_TRUE(sound.isMute());
  auto start = Clock::now();
  sound.pauseForSound(word("delay"));
  double paused = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GT(paused, 0.39);
  EXPECT_LT(paused, 0.6);
  start = Clock::now();
  sound.pauseForSound(word("missing"));
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 0.02);
}

TEST_F(SoundTest, APauseIsPlayedToItsEndOnADevice) {
  makeWord("delay.wav", 0.3);
  SdlSound sound;
  auto start = Clock::now();
  sound.pauseForSound(word("delay"));
  EXPECT_GT(std::chrono::duration<double>(Clock::now() - start).count(), shortest(0.3));
}

// Files that are no word within its bounds are never decoded nor waited on:
// each is skipped at once, with one message however often it is asked for,
// and the words after it are heard as ever.
TEST_F(SoundTest, WordsBeyondTheirBoundsAreSkippedAtOnceWithOneMessage) {
  const std::filesystem::path wave = folder_ / "wave";
  ASSERT_EQ(::mkfifo((wave / "fifo.wav").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", wave / "zero.wav");
  makeConstantWord("slow.wav", 1000, 100, 1);             // one sample a second
  makeConstantWord("surround.wav", 1000, 100, 44100, 6);  // six channels
  makeConstantWord("long.wav", 1000, 44100 * 11);         // longer than a word may be
  makeConstantWord("huge.wav", 1000, 100);
  std::filesystem::resize_file(wave / "huge.wav", wordBounds::largestFile + 1);
  makeWord("ok.wav", 0.2);
  const char* skipped[] = {"fifo", "zero", "slow", "surround", "long", "huge"};

  SdlSound sound;
  ::testing::internal::CaptureStderr();
  for (int round = 0; round < 2; ++round) {
    for (const char* name : skipped) EXPECT_LT(secondsToPlay(sound, word(name)), 0.1) << name;
  }
  std::string messages = ::testing::internal::GetCapturedStderr();
  for (const char* name : skipped) {
    std::string file = (wave / name).string() + ".wav ";
    std::size_t first = messages.find(file);
    EXPECT_NE(first, std::string::npos) << name << " unreported in:\n" << messages;
    EXPECT_EQ(messages.find(file, first + 1), std::string::npos) << name << " reported twice";
  }
  EXPECT_GT(secondsToPlay(sound, word("ok")), shortest(0.2));
  // The help is played on, not waited for: it may be longer than a word.
  makeConstantWord("help.wav", 1000, 44100 * 11);
  EXPECT_LT(secondsToPlay(sound, word("help"), false), 0.2);
  EXPECT_TRUE(sound.isPlaying());
}

}  // namespace

namespace {

// The device this process has open and playing (SDL numbers opened devices
// from 2), or 0.
SDL_AudioDeviceID playingDevice() {
  for (SDL_AudioDeviceID id = 2; id < 16; ++id) {
    if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING) return id;
  }
  return 0;
}

TEST_F(SoundTest, ADeviceThatStopsTakingSamplesDoesNotHoldTheProgram) {
  makeWord("on.wav", 0.2);
  SdlSound sound;
  secondsToPlay(sound, word("on"));
  SDL_AudioDeviceID device = playingDevice();
  ASSERT_NE(device, 0U);
  SDL_PauseAudioDevice(device, 1);  // the callback is no longer asked for samples
  double seconds = secondsToPlay(sound, word("on"));
  EXPECT_GT(seconds, 0.9);
  EXPECT_LT(seconds, 2.0);
  EXPECT_FALSE(sound.isPlaying());
}

// How often the device's thread has been switched in and out so far: once a
// buffer while it plays, never while it rests. -1 without such a thread.
long deviceThreadSwitches() {
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (!std::getline(comm, name) || name.rfind("SDLAudioP", 0) != 0) continue;
    std::ifstream status(task.path() / "status");
    long switches = 0;
    for (std::string line; std::getline(status, line);) {
      auto colon = line.find(':');
      if (colon != std::string::npos && line.find("ctxt_switches") != std::string::npos) {
        switches += std::stol(line.substr(colon + 1));
      }
    }
    return switches;
  }
  return -1;
}

long switchesOver(std::chrono::milliseconds span) {
  long before = deviceThreadSwitches();
  std::this_thread::sleep_for(span);
  return deviceThreadSwitches() - before;
}

TEST_F(SoundTest, AfterASecondOfSilenceTheDeviceRestsUntilTheNextSound) {
  using namespace std::chrono_literals;
  makeWord("on.wav", 0.2);
  makeWord("help.wav", 1.5);
  auto sound = std::make_unique<SdlSound>();
  secondsToPlay(*sound, word("on"));
  ASSERT_GE(deviceThreadSwitches(), 0) << "no device thread to watch";
  std::this_thread::sleep_for(1100ms);

  // Silence is counted from the last sound, not from the device's opening.
  secondsToPlay(*sound, word("on"));
  std::this_thread::sleep_for(100ms);  // the word's last buffer taken
  sound->restIfSilent();
  EXPECT_GT(switchesOver(300ms), 5) << "rested straight after a word";

  std::this_thread::sleep_for(900ms);
  sound->restIfSilent();
  EXPECT_LE(switchesOver(300ms), 2) << "still handing silence to the sound system";

  // The next word wakes it and is heard at its own length.
  double seconds = secondsToPlay(*sound, word("on"));
  EXPECT_GT(seconds, shortest(0.2));
  EXPECT_LT(seconds, 0.45);
  EXPECT_GT(switchesOver(300ms), 5);

  // A sound playing on its own keeps it awake however long it lasts.
  secondsToPlay(*sound, word("help"), false);
  std::this_thread::sleep_for(1200ms);
  sound->restIfSilent();
  EXPECT_TRUE(sound->isPlaying());
  EXPECT_GT(switchesOver(200ms), 3);

  // A resting device closes at once.
  std::this_thread::sleep_for(1300ms);
  sound->restIfSilent();
  ASSERT_LE(switchesOver(100ms), 1);
  auto start = Clock::now();
  sound.reset();
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 0.3);
}

}  // namespace
