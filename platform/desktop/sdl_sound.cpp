#include "platform/desktop/sdl_sound.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/sound_names.h"
#include "platform/speech_rate.h"

namespace {

// The device's format, which the test voice's words are recorded in so that
// they reach the output unconverted.
constexpr int sampleRate = 44100;
// 512 frames are 11.6 ms: while it plays, the device's thread wakes 86 times
// a second, and an answer starts within one buffer (plus the sound system's
// own latency) of being asked for; a resting device starts it at once. The
// gap between words does not depend on it.
constexpr Uint16 bufferFrames = 512;
// A word is released once its rest fits this many frames, three buffers:
// the word said next then has at least two buffers' time (23 ms, as many as
// with the 1024-frame buffers before) to be queued behind it, even on a
// loaded machine.
constexpr std::size_t releaseFrames = 3 * bufferFrames;
constexpr auto bufferTime = std::chrono::microseconds(1'000'000 * bufferFrames / sampleRate);
// Silence long enough for the keys of one change to have been pressed, and
// for a phrase's last word to have been played out.
constexpr auto restAfter = std::chrono::seconds(1);

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool sameTime(const std::timespec& a, const std::timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

// Each release is told on the descriptor too, from the device's thread.
SdlSound::SdlSound()
    : queue_(releaseFrames, [this] {
        std::uint64_t one = 1;
        (void)!write(releasedDescriptor_, &one, sizeof one);
      }) {}

SdlSound::~SdlSound() {
  if (state_ != Device::open) return;
  wake();
  // A word already released is heard to its end (a buffer at most); a
  // sound still playing on its own, such as the help, stops.
  queue_.finish(std::chrono::milliseconds(100));
  SDL_CloseAudioDevice(device_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  if (releasedDescriptor_ >= 0) close(releasedDescriptor_);
}

void SdlSound::playSound(const std::string& name, bool wait) {
  std::string path = findFile(soundFileName(name));
  if (path.empty() || !openDevice()) return;
  const std::vector<Sint16>* samples = decoded(path, wait);
  if (samples == nullptr) return;
  queue(*wordAtRate(path, rate_), wait);
}

bool SdlSound::playSoundUntil(const std::string& name, const StopWait& stopWait) {
  std::string path = findFile(soundFileName(name));
  if (path.empty() || !openDevice()) return true;
  const std::vector<Sint16>* samples = decoded(path, true);
  if (samples == nullptr) return true;
  if (stopWait(releasedDescriptor_, std::chrono::steady_clock::now())) return false;
  const std::vector<Sint16>& word = *wordAtRate(path, rate_);
  std::uint64_t number = queue(word, false);
  auto until = std::chrono::steady_clock::now() + longestWait(word);
  while (!queue_.releasedWithin(number, std::chrono::milliseconds(0))) {
    auto now = std::chrono::steady_clock::now();
    if (now >= until) {
      queue_.drop(number);
      return true;
    }
    // Without the descriptor the release is looked for every 5 ms.
    auto wakeBy =
        releasedDescriptor_ >= 0 ? until : std::min(until, now + std::chrono::milliseconds(5));
    if (stopWait(releasedDescriptor_, wakeBy)) {
      // Everything queued goes, released or not: the device's next buffer
      // is silent, so a cut sound is heard for at most the buffer it is in.
      queue_.dropAll();
      return false;
    }
    std::uint64_t count = 0;
    (void)!read(releasedDescriptor_, &count, sizeof count);
  }
  return true;
}

// The word as heard at the rate, processed at its first use at that rate.
const std::vector<Sint16>* SdlSound::wordAtRate(const std::string& path, double rate) {
  const std::vector<Sint16>& recorded = words_.at(path);
  if (rate == 1.0) return &recorded;
  auto key = std::make_pair(path, rate);
  auto found = wordsAtRate_.find(key);
  if (found != wordsAtRate_.end()) return &found->second;
  return &wordsAtRate_.emplace(key, speechRate::atRate(recorded, sampleRate, rate)).first->second;
}

void SdlSound::pauseSilently(const std::string& name) {
  std::string path = findFile(soundFileName(name));
  std::string bytes;
  if (path.empty() || skipped_.contains(path)) return;
  if (auto facts = checkedWord(path, true, bytes)) {
    std::this_thread::sleep_for(std::chrono::duration<double>(facts->seconds()));
  }
}

void SdlSound::pauseForSound(const std::string& name) {
  if (!openDevice()) {
    pauseSilently(name);
    return;
  }
  std::string path = findFile(soundFileName(name));
  if (path.empty()) return;
  const std::vector<Sint16>* samples = decoded(path, true);
  if (samples == nullptr) return;
  // A wait lasts until the device has taken the whole recording, not only
  // until the word after it could be queued.
  std::uint64_t number = queue(*samples, true);
  queue_.takenWithin(number, bufferTime * 4);
}

// Stops what is playing, except a word's last buffers, and puts the sound
// after it; with wait, sleeps until the callback releases the sound.
std::uint64_t SdlSound::queue(const std::vector<Sint16>& samples, bool wait) {
  std::uint64_t number = queue_.add(samples);
  wake();  // after queueing, so that the first buffer it fills holds the word
  if (wait) queue_.waitReleased(number, longestWait(samples));
  return number;
}

// A sound device that stops taking samples (a USB headset pulled out) must
// not hold the program for ever: the wait ends a second after the word
// should have, and the word is dropped.
std::chrono::milliseconds SdlSound::longestWait(const std::vector<Sint16>& samples) const {
  return std::chrono::milliseconds(1000 + samples.size() * 1000 / sampleRate);
}

void SdlSound::fillCallback(void* sound, Uint8* stream, int bytes) {
  static_cast<SdlSound*>(sound)->fill(reinterpret_cast<Sint16*>(stream),
                                      static_cast<std::size_t>(bytes) / sizeof(Sint16));
}

// One buffer of the device: the queued sounds one after the other, then
// silence. Each sound that the next three buffers will finish is released now,
// so that the word said after it is queued in time to follow it without a
// gap.
void SdlSound::fill(Sint16* out, std::size_t frames) {
  if (queue_.fill(out, frames)) lastSound_ = std::chrono::steady_clock::now();
}

// Holding the device's lock stops its thread before it asks for the next
// buffer; the sound system plays out what it has and then waits. Only this
// thread queues words, so the queue cannot fill between the look and the
// lock.
void SdlSound::restIfSilent() {
  if (state_ != Device::open || resting_) return;
  if (!queue_.isEmpty() || std::chrono::steady_clock::now() - lastSound_.load() < restAfter) return;
  SDL_LockAudioDevice(device_);
  resting_ = true;
}

void SdlSound::wake() {
  if (!resting_) return;
  resting_ = false;
  SDL_UnlockAudioDevice(device_);
}

// The path of the file whose name matches ignoring case, empty when there is
// none. Each folder is listed once and listed again only when it changes, so
// a missing word costs a stat of its folder and a table look-up.
std::string SdlSound::findFile(const std::string& fileName) {
  std::size_t slash = fileName.rfind('/');
  std::string folderPath = slash == std::string::npos ? std::string(".")
                           : slash == 0               ? std::string("/")
                                                      : fileName.substr(0, slash);
  std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);

  struct stat info {};
  if (stat(folderPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return {};
  // The program never changes its working folder, so a folder's path as the
  // word names it is a fit key.
  Folder& folder = folders_[folderPath];
  if (!sameTime(folder.modified, info.st_mtim) || folder.byLowerName.empty()) {
    folder.modified = info.st_mtim;
    folder.byLowerName.clear();
    if (DIR* dir = opendir(folderPath.c_str())) {
      while (dirent* entry = readdir(dir)) {
        folder.byLowerName.emplace(lowerCase(entry->d_name), entry->d_name);
      }
      closedir(dir);
    }
  }
  auto found = folder.byLowerName.find(lowerCase(base));
  if (found == folder.byLowerName.end()) return {};
  return folderPath + "/" + found->second;
}

// The word's samples in the device's format, decoded at its first use. The
// whole recording is converted in one go (SDL's audio streams lose the last
// stretch of a resampled sound).
const std::vector<Sint16>* SdlSound::decoded(const std::string& path, bool wait) {
  auto found = words_.find(path);
  if (found != words_.end()) return &found->second;
  if (skipped_.contains(path)) return nullptr;

  std::string file;
  if (!checkedWord(path, wait, file)) return nullptr;
  SDL_AudioSpec recorded{};
  Uint8* data = nullptr;
  Uint32 length = 0;
  SDL_RWops* source = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
  if (SDL_LoadWAV_RW(source, 1, &recorded, &data, &length) == nullptr) {
    skip(path, std::string("cannot be decoded (") + SDL_GetError() + ")");
    return nullptr;
  }
  SDL_AudioCVT conversion{};
  bool converted = SDL_BuildAudioCVT(&conversion, recorded.format, recorded.channels, recorded.freq,
                                     AUDIO_S16SYS, 1, sampleRate) >= 0;
  std::vector<Uint8> bytes;
  if (converted) {
    bytes.resize(static_cast<std::size_t>(length) * conversion.len_mult);
    std::memcpy(bytes.data(), data, length);
    conversion.buf = bytes.data();
    conversion.len = static_cast<int>(length);
    conversion.len_cvt = conversion.len;
    if (conversion.needed != 0) converted = SDL_ConvertAudio(&conversion) == 0;
  }
  SDL_FreeWAV(data);
  if (!converted) {
    skip(path, "cannot be converted for the sound device");
    return nullptr;
  }
  std::vector<Sint16> samples(static_cast<std::size_t>(conversion.len_cvt) / sizeof(Sint16));
  std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(Sint16));
  return &words_.emplace(path, std::move(samples)).first->second;
}

// The whole file, once it is known to be a plain file within a word's
// bounds: a FIFO or a device is never opened, so nothing waits on it.
std::optional<WaveFacts> SdlSound::checkedWord(const std::string& path, bool wait,
                                               std::string& bytes) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    skip(path, "is not a plain file");
    return {};
  }
  if (std::string why = wordFileSizeProblem(info.st_size); !why.empty()) {
    skip(path, why);
    return {};
  }
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      !wordFileSizeProblem(info.st_size).empty()) {
    if (fd >= 0) close(fd);
    skip(path, "changed while it was read");
    return {};
  }
  bytes.resize(static_cast<std::size_t>(info.st_size));
  std::size_t got = 0;
  while (got < bytes.size()) {
    ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  close(fd);
  bytes.resize(got);
  std::optional<WaveFacts> facts = waveFactsOf(bytes);
  if (std::string why = wordProblem(facts, wait); !why.empty()) {
    skip(path, why);
    return {};
  }
  return facts;
}

// Said once: the word is not tried again.
void SdlSound::skip(const std::string& path, const std::string& why) {
  skipped_.insert(path);
  std::string line = "quelmo: " + path + " " + why + ": not played\n";
  std::fputs(line.c_str(), stderr);
}

// The device is opened at the first word that has a file, and only tried
// once: without a sound device the program runs mute. It stays open, playing
// silence between words until it rests, so that a word starts at the next
// buffer.
bool SdlSound::openDevice() {
  if (state_ == Device::unopened) {
    state_ = Device::mute;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
      SDL_AudioSpec wanted{};
      wanted.freq = sampleRate;
      wanted.format = AUDIO_S16SYS;
      wanted.channels = 1;
      wanted.samples = bufferFrames;
      wanted.callback = fillCallback;
      wanted.userdata = this;
      lastSound_ = std::chrono::steady_clock::now();  // before the thread starts
      releasedDescriptor_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
      device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
      if (device_ != 0) {
        SDL_PauseAudioDevice(device_, 0);
        state_ = Device::open;
      } else {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
      }
    }
  }
  return state_ == Device::open;
}
