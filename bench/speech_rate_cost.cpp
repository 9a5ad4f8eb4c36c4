// Prints what SPEECH_RATE costs: the time to process one word of the voice
// at a rate (done once, at the word's first use, then kept) and the memory
// the whole voice takes once processed, beside the voice as recorded.
//
//   speech_rate_cost [WAVE-FOLDER]     (build/wave by default)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/speech_rate.h"
#include "platform/wave_decoding.h"

int main(int argc, char** argv) {
  std::filesystem::path folder = argc > 1 ? argv[1] : "build/wave";
  std::vector<std::vector<std::int16_t>> words;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() != ".wav" || entry.path().stem() == "help") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (auto samples = decodeWave(bytes)) words.push_back(std::move(*samples));
  }
  if (words.empty()) {
    std::printf("speech_rate_cost: no words in %s\n", folder.string().c_str());
    return 0;
  }
  std::size_t recorded = 0;
  for (const auto& word : words) recorded += word.size();
  std::printf("words %zu, as recorded %.0f KiB\n", words.size(), recorded * 2 / 1024.0);
  for (double rate : {0.75, 1.5, 2.0}) {
    std::size_t processed = 0;
    auto start = std::chrono::steady_clock::now();
    for (const auto& word : words)
      processed += speechRate::atRate(word, deviceSampleRate, rate).size();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count() /
                static_cast<double>(words.size());
    std::printf("rate %.2f: %.3f ms a word, the voice processed %.0f KiB\n", rate, ms,
                processed * 2 / 1024.0);
    if (rate == 1.5) {
      std::printf("rate_word_ms %.3f\n", ms);
      std::printf("rate_cache_kib %.0f\n", processed * 2 / 1024.0);
    }
  }
  return 0;
}
