#include "platform/speech_rate.h"

#include <sonic.h>

#include <algorithm>
#include <cstddef>

namespace speechRate {

// Sonic finds the pitch period of voiced speech and drops or repeats whole
// periods, so the voice keeps its pitch, where resampling would raise it.
std::vector<std::int16_t> atRate(const std::vector<std::int16_t>& samples, int sampleRate,
                                 double rate) {
  if (rate == 1.0 || rate < slowest || rate > fastest || samples.empty()) return samples;
  sonicStream stream = sonicCreateStream(sampleRate, 1);
  if (stream == nullptr) return samples;
  sonicSetSpeed(stream, static_cast<float>(rate));
  std::vector<std::int16_t> result;
  result.reserve(static_cast<std::size_t>(static_cast<double>(samples.size()) / rate) + 1024);
  std::vector<short> input(samples.begin(), samples.end());
  std::vector<short> chunk(4096);
  auto drain = [&] {
    int got = 0;
    while ((got = sonicReadShortFromStream(stream, chunk.data(), static_cast<int>(chunk.size()))) >
           0) {
      result.insert(result.end(), chunk.begin(), chunk.begin() + got);
    }
  };
  // Fed in pieces, so the stream's own buffers stay small.
  constexpr std::size_t piece = 8192;
  for (std::size_t at = 0; at < input.size(); at += piece) {
    int count = static_cast<int>(std::min(piece, input.size() - at));
    sonicWriteShortToStream(stream, input.data() + at, count);
    drain();
  }
  sonicFlushStream(stream);
  drain();
  sonicDestroyStream(stream);
  return result;
}

}  // namespace speechRate
