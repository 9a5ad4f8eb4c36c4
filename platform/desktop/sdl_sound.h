// Words played through one SDL audio device fed by a callback of our own. A
// name is looked up ignoring letter case; a missing file costs no time and
// leaves a sound still playing alone; an existing one stops the sound playing
// and plays. Words are decoded once and kept in the device's own format, and
// the callback goes from the end of one word straight on to the next in the
// same buffer, so a phrase has no gaps beyond the silence inside its
// recordings. Without a sound device every word returns at once. A file
// that is not a plain file, or not a word within the bounds of
// platform/word_bounds.h, is never decoded: it is skipped, with a message
// the first time.
#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/word_bounds.h"
#include "platform/word_queue.h"

class SdlSound {
 public:
  SdlSound();
  ~SdlSound();
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  // With wait, returns once what is left of the word fits the device's next
  // three buffers, so that the word said next is queued in time to follow it
  // without a gap; the word is then heard for at most four buffers (46 ms)
  // more. Every sound but a pause is played at the speech rate.
  void playSound(const std::string& name, bool wait);
  // Plays the sound to its end; without a sound device, sleeps as long as
  // it lasts. A pause keeps the recording's speed.
  void pauseForSound(const std::string& name);
  // Sleeps as long as the sound lasts, whether there is a device or not.
  void pauseSilently(const std::string& name);

  // Sleeps until what stops a sound is waiting (true: a key, an end asked
  // for), the descriptor is readable or the time has come (false).
  using StopWait = std::function<bool(int descriptor, std::chrono::steady_clock::time_point until)>;
  // As playSound with wait, while stopWait watches for what stops it: that
  // stops everything queued, so the sound device takes no more of it, and
  // the result is false. What is waiting already stops the sound before it
  // starts.
  bool playSoundUntil(const std::string& name, const StopWait& stopWait);
  // Every sound but a pause from now on: played this many times as fast.
  void setRate(double rate) { rate_ = rate; }

  // Called before the program waits for its next event: once a second has
  // passed without sound, the device's thread is held asleep until the next
  // word, instead of waking 43 times a second to hand silence to the sound
  // system. The word that wakes it starts at once rather than at the next
  // buffer.
  void restIfSilent();

  // True once opening the sound device has failed: the program runs mute.
  bool isMute() const { return state_ == Device::mute; }
  // True while a word, or the help started without waiting, has more to
  // play than the device's next buffer takes.
  bool isPlaying() const { return queue_.isPlaying(); }

 private:
  // The names in one folder, by their small-letter spelling, as last listed.
  struct Folder {
    std::timespec modified{};
    std::unordered_map<std::string, std::string> byLowerName;
  };
  static void fillCallback(void* sound, Uint8* stream, int bytes);
  void fill(Sint16* out, std::size_t frames);
  std::uint64_t queue(const std::vector<Sint16>& samples, bool wait);
  std::chrono::milliseconds longestWait(const std::vector<Sint16>& samples) const;
  std::string findFile(const std::string& fileName);
  const std::vector<Sint16>* wordAtRate(const std::string& path, double rate);
  const std::vector<Sint16>* decoded(const std::string& path, bool wait);
  std::optional<WaveFacts> checkedWord(const std::string& path, bool wait, std::string& bytes);
  void skip(const std::string& path, const std::string& why);
  bool openDevice();
  void wake();

  enum class Device { unopened, open, mute };
  Device state_ = Device::unopened;
  SDL_AudioDeviceID device_ = 0;
  bool resting_ = false;  // the device's lock is held: its thread sleeps on it
  double rate_ = 1.0;
  std::unordered_map<std::string, Folder> folders_;
  std::map<std::string, std::vector<Sint16>> words_;  // decoded, by path
  // At a speech rate other than 1: processed, by path and rate.
  std::map<std::pair<std::string, double>, std::vector<Sint16>> wordsAtRate_;
  std::set<std::string> skipped_;  // paths that are no word

  // Shared with the callback, which runs on the device's thread.
  WordQueue queue_;
  // The last buffer that held any sound.
  std::atomic<std::chrono::steady_clock::time_point> lastSound_;
  // Readable once the callback has released a sound: a wait that also
  // watches for keys sleeps on it.
  int releasedDescriptor_ = -1;
};
