// Words played through SDL2_mixer. A name is looked up ignoring letter case;
// a missing file costs no time and leaves a sound still playing alone; an
// existing one stops the sound playing and plays. Decoded words are kept, so
// a phrase has no gaps beyond the silence inside its recordings. Without a
// sound device every word returns at once.
#pragma once

#include <SDL_mixer.h>

#include <ctime>
#include <map>
#include <string>
#include <unordered_map>

class SdlSound {
 public:
  SdlSound() = default;
  ~SdlSound();
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  void playSound(const std::string& name, bool wait);

  // True once opening the sound device has failed: the program runs mute.
  bool isMute() const { return state_ == Device::mute; }
  // True while a word, or the help started without waiting, still sounds.
  bool isPlaying() const;

 private:
  // The names in one folder, by their small-letter spelling, as last listed.
  struct Folder {
    std::timespec modified{};
    std::unordered_map<std::string, std::string> byLowerName;
  };

  std::string findFile(const std::string& fileName);
  Mix_Chunk* decoded(const std::string& path);
  bool openDevice();

  enum class Device { unopened, open, mute };
  Device state_ = Device::unopened;
  std::unordered_map<std::string, Folder> folders_;
  std::map<std::string, Mix_Chunk*> chunks_;
};
