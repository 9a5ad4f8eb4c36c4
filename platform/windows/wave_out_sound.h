// Words played through one waveOut device, fed by a thread of our own from
// the word queue, so that a phrase runs word into word without a gap. A
// word's name is a file name; Windows' file names ignore letter case. A
// missing or unreadable file costs no time and leaves a sound still playing
// alone; an existing one stops the sound playing and plays. Words are decoded
// once and kept in the device's format. Without a sound device every word
// returns at once. A file that is not a plain file, or not a word within the
// bounds of platform/word_bounds.h, is never decoded: it is skipped, with a
// message the first time.
#pragma once

// The multimedia header needs the Windows header before it.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/word_queue.h"

class WaveOutSound {
 public:
  WaveOutSound();
  ~WaveOutSound();
  WaveOutSound(const WaveOutSound&) = delete;
  WaveOutSound& operator=(const WaveOutSound&) = delete;

  // With wait, returns once what is left of the word fits the next buffer
  // handed to the device, so that the word said next follows it in that
  // buffer; the word is then heard for at most a few buffers more.
  void playSound(const std::string& name, bool wait);
  // Plays the sound to its end; without a sound device, sleeps as long as
  // it lasts. A pause keeps the recording's speed.
  void pauseForSound(const std::string& name);
  // Sleeps as long as the sound lasts, whether there is a device or not.
  void pauseSilently(const std::string& name);
  // As playSound with wait, while stopWaiting (a key, the end asked for) is
  // asked every few milliseconds: once it is true everything queued is
  // dropped and the device is reset, so the sound stops at once, and the
  // result is false. What is waiting already stops the sound before it
  // starts.
  bool playSoundUntil(const std::string& name, const std::function<bool()>& stopWaiting);
  // Every sound but a pause from now on: played this many times as fast.
  void setRate(double rate) { rate_ = rate; }

  // True once opening the sound device has failed: the program runs mute.
  bool isMute() const { return state_ == Device::mute; }
  // True while a word, or the help started without waiting, has more to
  // play than the next buffer takes.
  bool isPlaying() const { return words_.isPlaying(); }

  // Buffers of 1024 frames (23 ms), three of them with the device: a word
  // starts within a buffer of being asked for, and the device is never
  // left without samples while a phrase is said.
  static constexpr std::size_t bufferFrames = 1024;
  static constexpr std::size_t bufferCount = 3;

 private:
  const std::vector<std::int16_t>* decoded(const std::string& path, bool wait);
  const std::vector<std::int16_t>* atRate(const std::string& path, bool wait);
  bool openDevice();
  void feed();
  void handOver(WAVEHDR& header);
  std::size_t buffersWithDevice() const;

  enum class Device { unopened, open, mute };
  Device state_ = Device::unopened;
  HWAVEOUT device_ = nullptr;
  HANDLE bufferDone_ = nullptr;  // set by the device when it has played a buffer
  HANDLE wake_ = nullptr;        // set when a word is queued, or at the end
  std::atomic<bool> ending_{false};
  std::thread feeder_;
  std::array<std::vector<std::int16_t>, bufferCount> samples_;
  std::array<WAVEHDR, bufferCount> headers_{};

  WordQueue words_;
  std::map<std::string, std::vector<std::int16_t>> decoded_;  // by path in small letters
  double rate_ = 1.0;
  // At a speech rate other than 1: processed, by path in small letters and rate.
  std::map<std::pair<std::string, double>, std::vector<std::int16_t>> atRate_;
  std::set<std::string> skipped_;                             // likewise
};
