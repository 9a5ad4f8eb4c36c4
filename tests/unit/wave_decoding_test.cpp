#include "platform/wave_decoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/word_bounds.h"
#include "wave_bytes.h"

namespace {

using Samples = std::vector<std::int16_t>;

std::string floats(std::initializer_list<float> values) {
  std::string data;
  for (float v : values) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    putLittleEndian(data, bits, 4);
  }
  return data;
}

// The extensible format: the plain format's 16 bytes, then its extension,
// which names the encoding in the first two bytes of the sub-format.
std::string extensible(int encoding, int bits, std::string_view data) {
  std::string file = waveBytes(0xFFFE, 1, 44100, bits, data);
  std::string extension;
  putLittleEndian(extension, 22, 2);                                // size of the extension
  putLittleEndian(extension, static_cast<std::uint32_t>(bits), 2);  // valid bits
  putLittleEndian(extension, 4, 4);                                 // speaker position
  putLittleEndian(extension, static_cast<std::uint32_t>(encoding), 2);
  extension += std::string(14, '\x01');                 // rest of the sub-format
  file.insert(36, extension);                           // after the 16 bytes of "fmt "
  file[16] = static_cast<char>(16 + extension.size());  // the chunk's new size
  return file;
}

struct Decoding {
  const char* what;
  std::string file;
  std::optional<Samples> samples;
};

TEST(WaveDecoding, EveryFormatOfAWordBecomes16BitMonoAt44100) {
  const std::vector<Decoding> cases = {
      {"16-bit mono at 44100 as it stands", constantWord(-1234, 3), Samples{-1234, -1234, -1234}},
      {"8-bit, unsigned around 128", waveBytes(1, 1, 44100, 8, std::string("\x80\xFF\x00", 3)),
       Samples{0, 32512, -32768}},
      {"24-bit", waveBytes(1, 1, 44100, 24, std::string("\xFF\xFF\x7F\x00\x00\x80", 6)),
       Samples{32767, -32768}},
      {"32-bit float, clipped, not-a-number silent",
       waveBytes(3, 1, 44100, 32,
                 floats({0.5F, -1.0F, 2.0F, std::numeric_limits<float>::quiet_NaN()})),
       Samples{16384, -32768, 32767, 0}},
      {"stereo mixed to one", waveBytes(1, 2, 44100, 16, sampleBytes({1000, 3000, -500, -1500})),
       Samples{2000, -1000}},
      {"extensible PCM", extensible(1, 16, sampleBytes({7, 8})), Samples{7, 8}},
      {"22050 Hz doubled, between samples halfway",
       waveBytes(1, 1, 22050, 16, sampleBytes({0, 100, 200})), Samples{0, 50, 100, 150, 200, 200}},
      {"a data chunk cut short gives what it holds", constantWord(9, 4).substr(0, 44 + 5),
       Samples{9, 9}},
  };
  for (const Decoding& c : cases) EXPECT_EQ(decodeWave(c.file), c.samples) << c.what;
}

TEST(WaveDecoding, ChunksBeforeAndBetweenAreSkipped) {
  std::string file = constantWord(5, 2);
  // An odd-sized chunk before the format is padded to an even length.
  file.insert(12, std::string("LIST\x03\x00\x00\x00"
                              "abc\x00",
                              12));
  EXPECT_EQ(decodeWave(file), (Samples{5, 5}));
  // The data may come before the format.
  std::string dataFirst = file.substr(0, 12) + file.substr(12 + 12 + 24) + file.substr(24, 24);
  EXPECT_EQ(decodeWave(dataFirst), (Samples{5, 5}));
}

TEST(WaveDecoding, FilesThatAreNoWordOrTooMuchOfOneAreRefused) {
  std::string oneHertz = constantWord(1, 100);
  oneHertz[24] = 1;  // the rate: 1 Hz would make 44 100 samples of each one
  oneHertz[25] = oneHertz[26] = oneHertz[27] = 0;
  const std::vector<Decoding> cases = {
      {"not RIFF", "RIFX" + constantWord(1, 2).substr(4), std::nullopt},
      {"ADPCM", waveBytes(2, 1, 44100, 4, "\x11\x22"), std::nullopt},
      {"12-bit", waveBytes(1, 1, 44100, 12, "\x11\x22"), std::nullopt},
      {"no channels", waveBytes(1, 0, 44100, 16, "\x11\x22"), std::nullopt},
      {"three channels", waveBytes(1, 3, 44100, 16, std::string(6, '\x01')), std::nullopt},
      {"1 Hz", oneHertz, std::nullopt},
      {"no data chunk", constantWord(1, 2).substr(0, 36), std::nullopt},
      {"format chunk too short", constantWord(1, 2).replace(16, 1, 1, '\x0E'), std::nullopt},
      {"longer than the longest sound", waveBytes(1, 1, 4000, 8, std::string(4000 * 301, '\x80')),
       std::nullopt},
      {"larger than the largest file", constantWord(1, wordBounds::largestFile / 2), std::nullopt},
  };
  for (const Decoding& c : cases) EXPECT_EQ(decodeWave(c.file), c.samples) << c.what;
}

}  // namespace
