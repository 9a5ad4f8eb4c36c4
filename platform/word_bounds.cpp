#include "platform/word_bounds.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

constexpr int extensibleFormat = 0xFFFE;

std::uint32_t little(std::string_view bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

}  // namespace

double WaveFacts::seconds() const {
  if (channels <= 0 || bitsPerSample <= 0 || sampleRate <= 0) return 0.0;
  double bits = static_cast<double>(dataBytes) * 8.0;
  return bits / (static_cast<double>(channels) * bitsPerSample * static_cast<double>(sampleRate));
}

// The chunks after the RIFF header, each an id, a size and its bytes, padded
// to an even length; the file may end inside the data chunk.
std::optional<WaveFacts> waveFactsOf(std::string_view file) {
  if (file.size() < 12 || file.substr(0, 4) != "RIFF" || file.substr(8, 4) != "WAVE") return {};
  WaveFacts facts;
  bool haveFormat = false;
  bool haveData = false;
  std::size_t at = 12;
  while (at + 8 <= file.size() && !(haveFormat && haveData)) {
    std::string_view id = file.substr(at, 4);
    std::uint64_t size = little(file, at + 4, 4);
    std::size_t body = at + 8;
    std::uint64_t present = std::min<std::uint64_t>(size, file.size() - body);
    if (id == "fmt " && present >= 16) {
      facts.format = static_cast<int>(little(file, body, 2));
      facts.channels = static_cast<int>(little(file, body + 2, 2));
      facts.sampleRate = static_cast<long>(little(file, body + 4, 4));
      facts.bitsPerSample = static_cast<int>(little(file, body + 14, 2));
      if (facts.format == extensibleFormat && present >= 26) {
        facts.format = static_cast<int>(little(file, body + 24, 2));
      }
      haveFormat = true;
    } else if (id == "data") {
      facts.dataBytes = present;
      haveData = true;
    }
    at = body + size + (size & 1);
    if (at < body) break;  // a size that wraps round
  }
  if (!haveFormat || !haveData) return {};
  return facts;
}

std::string wordFileSizeProblem(long long bytes) {
  if (bytes <= wordBounds::largestFile) return {};
  return "is " + std::to_string(bytes) + " bytes long (a word has at most " +
         std::to_string(wordBounds::largestFile) + ")";
}

std::string wordProblem(const std::optional<WaveFacts>& facts, bool waited) {
  using namespace wordBounds;
  if (!facts) return "is not a WAV recording";
  if (facts->sampleRate < lowestRate || facts->sampleRate > highestRate) {
    return "has " + std::to_string(facts->sampleRate) + " samples a second (a word has " +
           std::to_string(lowestRate) + " to " + std::to_string(highestRate) + ")";
  }
  if (facts->channels < 1 || facts->channels > mostChannels) {
    return "has " + std::to_string(facts->channels) + " channels (a word has 1 to " +
           std::to_string(mostChannels) + ")";
  }
  if (facts->bitsPerSample < 1 || facts->bitsPerSample > 64) {
    return "has " + std::to_string(facts->bitsPerSample) + " bits a sample";
  }
  double longest = waited ? longestWord : longestSound;
  if (facts->seconds() > longest) {
    return "lasts " + number(facts->seconds()) + " seconds (" +
           (waited ? "a word waited for" : "a sound played on") + " lasts at most " +
           number(longest) + ")";
  }
  return {};
}
