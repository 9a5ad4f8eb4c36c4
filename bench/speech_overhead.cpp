// Prints what speaking costs beyond the recordings themselves: the overhead
// per word of a phrase (its wall time minus the recordings' length) and the
// cost of a word whose file is missing. Plays through SDL's dummy audio
// driver unless SDL_AUDIODRIVER names another.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/desktop/sdl_sound.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
  ::setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("quelmo-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);

  // Words of a phrase as long as spoken digits are: 0.20 s to 0.38 s.
  std::vector<std::pair<std::string, double>> words;
  for (int i = 0; i < 10; ++i) {
    double seconds = 0.20 + 0.02 * i;
    std::string file = (folder / (std::string("w") + std::to_string(i) + ".wav")).string();
    std::string command = "sox -n -r 22050 -c 1 -b 16 '" + file + "' synth " +
                          std::to_string(seconds) + " sine 440";
    if (std::system(command.c_str()) != 0) {
      std::printf("speech_overhead: sox could not make the words\n");
      std::filesystem::remove_all(folder);
      return 0;
    }
    words.emplace_back(folder.string() + "\\w" + std::to_string(i), seconds);
  }

  SdlSound sound;
  for (const auto& [name, seconds] : words) sound.playSound(name, true);  // decoded, device open
  if (sound.isMute()) std::printf("speech_overhead: no sound device; figures show mute speech\n");

  constexpr int rounds = 1;
  double recorded = 0.0;
  std::vector<double> overheads;  // per word, milliseconds
  auto start = Clock::now();
  for (int round = 0; round < rounds; ++round) {
    for (const auto& [name, seconds] : words) {
      auto wordStart = Clock::now();
      sound.playSound(name, true);
      overheads.push_back((secondsSince(wordStart) - seconds) * 1000.0);
      recorded += seconds;
    }
  }
  double wall = secondsSince(start);
  int played = rounds * static_cast<int>(words.size());
  std::sort(overheads.begin(), overheads.end());

  constexpr int lookups = 10000;
  std::string missing = folder.string() + "\\xxs.wav";
  start = Clock::now();
  for (int i = 0; i < lookups; ++i) sound.playSound(missing, true);
  double missingCost = secondsSince(start) / lookups;

  std::printf("words played                 %d (%.2f s of recordings)\n", played, recorded);
  std::printf("phrase wall time             %.3f s\n", wall);
  std::printf("speech overhead per word     %.2f ms (median %.2f, least %.2f, most %.2f)\n",
              (wall - recorded) * 1000.0 / played, overheads[overheads.size() / 2],
              overheads.front(), overheads.back());
  std::printf("missing word                 %.4f ms\n", missingCost * 1000.0);
  std::printf("sound_overhead_ms %.3f\n", (wall - recorded) * 1000.0 / played);
  std::filesystem::remove_all(folder);
  return 0;
}
