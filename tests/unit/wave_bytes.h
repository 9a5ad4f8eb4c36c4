// WAV files made in memory, for the tests of the word decoder and of the
// sound layers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline void putLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A RIFF WAVE file: its "fmt " chunk, then its "data" chunk. Encoding 1 is
// integer PCM, 3 floating point.
inline std::string waveBytes(int encoding, int channels, int rate, int bits,
                             std::string_view data) {
  std::string format;
  putLittleEndian(format, static_cast<std::uint32_t>(encoding), 2);
  putLittleEndian(format, static_cast<std::uint32_t>(channels), 2);
  putLittleEndian(format, static_cast<std::uint32_t>(rate), 4);
  putLittleEndian(format, static_cast<std::uint32_t>(rate * channels * bits / 8), 4);
  putLittleEndian(format, static_cast<std::uint32_t>(channels * bits / 8), 2);
  putLittleEndian(format, static_cast<std::uint32_t>(bits), 2);
  std::string file = "RIFF";
  putLittleEndian(file, static_cast<std::uint32_t>(4 + 8 + format.size() + 8 + data.size()), 4);
  file += "WAVEfmt ";
  putLittleEndian(file, static_cast<std::uint32_t>(format.size()), 4);
  file += format;
  file += "data";
  putLittleEndian(file, static_cast<std::uint32_t>(data.size()), 4);
  file += data;
  return file;
}

inline std::string sampleBytes(const std::vector<std::int16_t>& samples) {
  std::string data;
  for (std::int16_t s : samples) putLittleEndian(data, static_cast<std::uint16_t>(s), 2);
  return data;
}

// A word of one sample value throughout, 16-bit mono.
inline std::string constantWord(std::int16_t value, std::size_t samples, int rate = 44100) {
  return waveBytes(1, 1, rate, 16, sampleBytes(std::vector<std::int16_t>(samples, value)));
}
