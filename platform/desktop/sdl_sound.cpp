#include "platform/desktop/sdl_sound.h"

#include <SDL.h>
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <mutex>

#include "platform/sound_names.h"

namespace {

constexpr int wordChannel = 0;

// SDL_mixer reports the end of a sound through a plain function on its audio
// thread; the waiting player sleeps on this until then.
struct PlaybackEnd {
  std::mutex mutex;
  std::condition_variable ended;
  bool playing = false;
};
PlaybackEnd playbackEnd;

void channelFinished(int channel) {
  if (channel != wordChannel) return;
  std::lock_guard lock(playbackEnd.mutex);
  playbackEnd.playing = false;
  playbackEnd.ended.notify_all();
}

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool sameTime(const std::timespec& a, const std::timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

SdlSound::~SdlSound() {
  if (state_ != Device::open) return;
  Mix_HaltChannel(-1);
  Mix_ChannelFinished(nullptr);
  for (auto& [path, chunk] : chunks_) Mix_FreeChunk(chunk);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlSound::isPlaying() const {
  return state_ == Device::open && Mix_Playing(wordChannel) != 0;
}

void SdlSound::playSound(const std::string& name, bool wait) {
  std::string path = findFile(soundFileName(name));
  if (path.empty() || !openDevice()) return;
  Mix_Chunk* chunk = decoded(path);
  if (chunk == nullptr) return;

  Mix_HaltChannel(wordChannel);  // reports its end at once, before we go on
  {
    std::lock_guard lock(playbackEnd.mutex);
    playbackEnd.playing = true;
  }
  if (Mix_PlayChannel(wordChannel, chunk, 0) < 0) {
    std::lock_guard lock(playbackEnd.mutex);
    playbackEnd.playing = false;
    return;
  }
  if (!wait) return;
  std::unique_lock lock(playbackEnd.mutex);
  playbackEnd.ended.wait(lock, [] { return !playbackEnd.playing; });
}

// The path of the file whose name matches ignoring case, empty when there is
// none. Each folder is listed once and listed again only when it changes, so
// a missing word costs a stat of its folder and a table look-up.
std::string SdlSound::findFile(const std::string& fileName) {
  std::size_t slash = fileName.rfind('/');
  std::string folderPath = slash == std::string::npos ? std::string(".")
                           : slash == 0                 ? std::string("/")
                                                        : fileName.substr(0, slash);
  std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);

  struct stat info {};
  if (stat(folderPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return {};
  char* absolute = realpath(folderPath.c_str(), nullptr);
  if (absolute == nullptr) return {};
  std::string key(absolute);
  std::free(absolute);

  Folder& folder = folders_[key];
  if (!sameTime(folder.modified, info.st_mtim) || folder.byLowerName.empty()) {
    folder.modified = info.st_mtim;
    folder.byLowerName.clear();
    if (DIR* dir = opendir(key.c_str())) {
      while (dirent* entry = readdir(dir)) {
        folder.byLowerName.emplace(lowerCase(entry->d_name), entry->d_name);
      }
      closedir(dir);
    }
  }
  auto found = folder.byLowerName.find(lowerCase(base));
  if (found == folder.byLowerName.end()) return {};
  return key + "/" + found->second;
}

Mix_Chunk* SdlSound::decoded(const std::string& path) {
  auto found = chunks_.find(path);
  if (found != chunks_.end()) return found->second;
  Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
  if (chunk != nullptr) chunks_.emplace(path, chunk);
  return chunk;
}

// The device is opened at the first word that has a file, and only tried
// once: without a sound device the program runs mute.
bool SdlSound::openDevice() {
  if (state_ == Device::unopened) {
    bool opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (opened && Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 1, 512) != 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      opened = false;
    }
    if (opened) {
      Mix_AllocateChannels(1);
      Mix_ChannelFinished(channelFinished);
    }
    state_ = opened ? Device::open : Device::mute;
  }
  return state_ == Device::open;
}
