// What a recorded word may be. A sound layer checks a word's file against
// these bounds before it decodes anything, so that a damaged or hostile file
// can neither exhaust the memory nor hold the program: the file's size
// first, then the facts its WAV header gives (rate, channels, length).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wordBounds {
constexpr long long largestFile = 16LL << 20;  // bytes
constexpr long lowestRate = 4000;               // samples a second
constexpr long highestRate = 192000;
constexpr int mostChannels = 2;
// A word is waited for: while it sounds no key and no poll is handled.
constexpr double longestWord = 10.0;  // seconds
// A sound played on while the program works (the help recording).
constexpr double longestSound = 300.0;
}  // namespace wordBounds

// What a WAV file's "fmt " and "data" chunks say.
struct WaveFacts {
  int format = 0;  // the format tag; for the extensible format, its sub-format
  int channels = 0;
  long sampleRate = 0;
  int bitsPerSample = 0;
  unsigned long long dataBytes = 0;  // of sound data, as far as the file holds it

  // How long the sound lasts, in seconds; for a compressed format, at most.
  double seconds() const;
};

// The facts of a whole WAV file; nothing when the bytes are not one.
std::optional<WaveFacts> waveFactsOf(std::string_view file);

// Why a file may not be played as a word, for a message; empty when it may.
// The size is checked before the file is read, the facts after.
std::string wordFileSizeProblem(long long bytes);
std::string wordProblem(const std::optional<WaveFacts>& facts, bool waited);
