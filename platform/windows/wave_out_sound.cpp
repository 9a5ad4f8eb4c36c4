#include "platform/windows/wave_out_sound.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <optional>

#include "platform/sound_names.h"
#include "platform/speech_rate.h"
#include "platform/wave_decoding.h"
#include "platform/word_bounds.h"

namespace {

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The whole of a plain disk file (a device name opens no device), or why
// it may not be read as a word: its size is checked before it is read.
std::string readWordFile(const std::string& path, std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "cannot be opened";
  std::string why;
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK) {
    why = "is not a plain file";
  } else if (!GetFileSizeEx(file, &size)) {
    why = "cannot be read";
  } else {
    why = wordFileSizeProblem(size.QuadPart);
  }
  if (why.empty()) {
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
      why = "cannot be read";
    }
    bytes.resize(read);
  }
  CloseHandle(file);
  return why;
}

}  // namespace

WaveOutSound::WaveOutSound()
    : bufferDone_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

// A word already released is heard to its end; a sound still playing on its
// own, such as the help, stops.
WaveOutSound::~WaveOutSound() {
  if (state_ == Device::open) {
    words_.finish(std::chrono::milliseconds(100));
    ending_ = true;
    SetEvent(wake_);
    feeder_.join();
    for (int i = 0; i < 20 && buffersWithDevice() > 0; ++i) Sleep(10);
    waveOutReset(device_);
    for (WAVEHDR& header : headers_) waveOutUnprepareHeader(device_, &header, sizeof header);
    waveOutClose(device_);
  }
  CloseHandle(bufferDone_);
  CloseHandle(wake_);
}

void WaveOutSound::playSound(const std::string& name, bool wait) {
  if (state_ == Device::mute) return;
  const std::vector<std::int16_t>* samples = atRate(soundFileName(name), wait);
  if (samples == nullptr || !openDevice()) return;
  std::uint64_t word = words_.add(*samples);
  SetEvent(wake_);
  if (!wait) return;
  // A device that stops taking samples ends the wait a second after the
  // word should have ended.
  auto longest = std::chrono::milliseconds(1000 + samples->size() * 1000 / deviceSampleRate);
  words_.waitReleased(word, longest);
}

bool WaveOutSound::playSoundUntil(const std::string& name,
                                  const std::function<bool()>& stopWaiting) {
  if (state_ == Device::mute) return true;
  const std::vector<std::int16_t>* samples = atRate(soundFileName(name), true);
  if (samples == nullptr || !openDevice()) return true;
  if (stopWaiting()) return false;
  std::uint64_t word = words_.add(*samples);
  SetEvent(wake_);
  auto until = std::chrono::steady_clock::now() +
               std::chrono::milliseconds(1000 + samples->size() * 1000 / deviceSampleRate);
  constexpr std::chrono::milliseconds keyLook{5};
  while (!words_.releasedWithin(word, keyLook)) {
    if (stopWaiting()) {
      words_.dropAll();
      waveOutReset(device_);  // the buffers the device holds are given back unplayed
      return false;
    }
    if (std::chrono::steady_clock::now() >= until) {
      words_.drop(word);
      return true;
    }
  }
  return true;
}

void WaveOutSound::pauseForSound(const std::string& name) {
  const std::vector<std::int16_t>* samples = decoded(soundFileName(name), true);
  if (samples == nullptr) return;
  if (openDevice()) {
    std::uint64_t word = words_.add(*samples);
    SetEvent(wake_);
    words_.waitReleased(
        word, std::chrono::milliseconds(1000 + samples->size() * 1000 / deviceSampleRate));
  } else {
    pauseSilently(name);
  }
}

void WaveOutSound::pauseSilently(const std::string& name) {
  const std::vector<std::int16_t>* samples = decoded(soundFileName(name), true);
  if (samples == nullptr) return;
  Sleep(static_cast<DWORD>(samples->size() * 1000 / deviceSampleRate));
}

// The word's samples, decoded at its first use; null when the file is
// missing or may not be played: a file beyond a word's bounds is skipped,
// with a message the first time.
const std::vector<std::int16_t>* WaveOutSound::decoded(const std::string& path, bool wait) {
  std::string key = lowerCase(path);
  auto found = decoded_.find(key);
  if (found != decoded_.end()) return &found->second;
  if (skipped_.contains(key) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return nullptr;
  }
  std::string bytes;
  std::string why = readWordFile(path, bytes);
  if (why.empty()) why = wordProblem(waveFactsOf(bytes), wait);
  std::optional<std::vector<std::int16_t>> samples;
  if (why.empty()) samples = decodeWave(bytes);
  if (!samples) {
    skipped_.insert(key);
    std::string line =
        "quelmo: " + path + " " + (why.empty() ? "cannot be decoded" : why) + ": not played\n";
    std::fputs(line.c_str(), stderr);
    return nullptr;
  }
  return &decoded_.emplace(key, std::move(*samples)).first->second;
}

// The word as heard at the speech rate, processed at its first use at that
// rate; the word as recorded at rate 1.
const std::vector<std::int16_t>* WaveOutSound::atRate(const std::string& path, bool wait) {
  const std::vector<std::int16_t>* recorded = decoded(path, wait);
  if (recorded == nullptr || rate_ == 1.0) return recorded;
  auto key = std::make_pair(lowerCase(path), rate_);
  auto found = atRate_.find(key);
  if (found != atRate_.end()) return &found->second;
  return &atRate_.emplace(key, speechRate::atRate(*recorded, deviceSampleRate, rate_))
              .first->second;
}

// The device is opened at the first word that has a file, and only tried
// once: without a sound device the program runs mute.
bool WaveOutSound::openDevice() {
  if (state_ != Device::unopened) return state_ == Device::open;
  state_ = Device::mute;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = deviceSampleRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = deviceSampleRate * 2;
  if (waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDone_), 0,
                  CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    return false;
  }
  for (std::size_t i = 0; i < bufferCount; ++i) {
    samples_[i].assign(bufferFrames, 0);
    headers_[i] = WAVEHDR{};
    headers_[i].lpData = reinterpret_cast<LPSTR>(samples_[i].data());
    headers_[i].dwBufferLength = static_cast<DWORD>(bufferFrames * sizeof(std::int16_t));
    if (waveOutPrepareHeader(device_, &headers_[i], sizeof headers_[i]) != MMSYSERR_NOERROR) {
      for (std::size_t j = 0; j < i; ++j)
        waveOutUnprepareHeader(device_, &headers_[j], sizeof headers_[j]);
      waveOutClose(device_);
      return false;
    }
    headers_[i].dwFlags |= WHDR_DONE;  // free to be filled
  }
  state_ = Device::open;
  feeder_ = std::thread(&WaveOutSound::feed, this);
  return true;
}

// The device's thread: every buffer the device has played is filled again
// while there are words to play, and handed back. A rest that would leave
// part of a buffer silent waits while the device has two buffers or more to
// play: the next word of the phrase, queued as soon as this one was
// released, is to follow it in that buffer. Between phrases the device is
// given nothing and rests.
//
// A phrase that starts on a resting device is handed its first buffers
// with the device paused: it starts with all of them queued, and a feeder
// held up between two buffers cannot leave a gap in the first word.
void WaveOutSound::feed() {
  HANDLE signals[] = {bufferDone_, wake_};
  while (!ending_) {
    bool starting = buffersWithDevice() == 0 && words_.samplesLeft() > 0;
    if (starting) waveOutPause(device_);
    for (WAVEHDR& header : headers_) {
      if ((header.dwFlags & WHDR_DONE) == 0) continue;
      std::size_t left = words_.samplesLeft();
      if (left == 0 || (left < bufferFrames && buffersWithDevice() >= 2)) break;
      handOver(header);
    }
    if (starting) waveOutRestart(device_);
    WaitForMultipleObjects(2, signals, FALSE, INFINITE);
  }
}

void WaveOutSound::handOver(WAVEHDR& header) {
  words_.fill(reinterpret_cast<std::int16_t*>(header.lpData), bufferFrames);
  header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  if (waveOutWrite(device_, &header, sizeof header) != MMSYSERR_NOERROR) {
    header.dwFlags |= WHDR_DONE;
  }
}

std::size_t WaveOutSound::buffersWithDevice() const {
  return static_cast<std::size_t>(
      std::count_if(headers_.begin(), headers_.end(),
                    [](const WAVEHDR& h) { return (h.dwFlags & WHDR_DONE) == 0; }));
}
