// The facts of a WAV header, and the bounds a word is checked against before
// any sound layer decodes it.
#include "platform/word_bounds.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

std::string le(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return out;
}

std::string chunk(const std::string& id, const std::string& body, std::uint32_t declared = 0) {
  std::string out =
      id + le(declared != 0 ? declared : static_cast<std::uint32_t>(body.size()), 4) + body;
  if (body.size() % 2 == 1) out.push_back('\0');
  return out;
}

std::string format(int tag, int channels, std::uint32_t rate, int bits, int subFormat = 0) {
  std::string body = le(tag, 2) + le(channels, 2) + le(rate, 4) +
                     le(rate * channels * bits / 8, 4) + le(channels * bits / 8, 2) + le(bits, 2);
  if (subFormat != 0)
    body += le(22, 2) + le(bits, 2) + le(0, 4) + le(subFormat, 2) + std::string(14, '\0');
  return chunk("fmt ", body);
}

std::string wave(const std::string& chunks) {
  return "RIFF" + le(4 + chunks.size(), 4) + "WAVE" + chunks;
}

TEST(WordBounds, HeaderFactsAreFoundWhereverTheChunksLie) {
  auto plain = waveFactsOf(wave(format(1, 1, 22050, 16) + chunk("data", std::string(44100, '\0'))));
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->sampleRate, 22050);
  EXPECT_DOUBLE_EQ(plain->seconds(), 1.0);

  // A list chunk of odd length before the data, the extensible format, and
  // data that the file ends inside: only the bytes there count.
  auto other = waveFactsOf(wave(chunk("LIST", "abc") + format(0xFFFE, 2, 44100, 16, 1) +
                                chunk("data", std::string(1000, '\0'), 1'000'000)));
  ASSERT_TRUE(other);
  EXPECT_EQ(other->format, 1);
  EXPECT_EQ(other->channels, 2);
  EXPECT_EQ(other->dataBytes, 1000U);

  EXPECT_FALSE(waveFactsOf("RIFF"));
  EXPECT_FALSE(waveFactsOf(wave(format(1, 1, 22050, 16))));  // no data
  EXPECT_FALSE(waveFactsOf(wave(chunk("data", "xx"))));      // no format
}

TEST(WordBounds, WhatAWordMayBe) {
  struct Case {
    const char* name;
    int channels;
    std::uint32_t rate;
    double seconds;
    bool waited;
    bool fine;
  };
  const Case cases[] = {
      {"a word", 1, 22050, 1.0, true, true},
      {"one sample a second", 1, 1, 1.0, true, false},
      {"faster than any device", 1, 384000, 0.1, true, false},
      {"three channels", 3, 22050, 1.0, true, false},
      {"a long word waited for", 1, 22050, wordBounds::longestWord + 1, true, false},
      {"the same played on, as the help is", 1, 22050, wordBounds::longestWord + 1, false, true},
      {"a help longer than any", 1, 22050, wordBounds::longestSound + 1, false, false},
  };
  for (const Case& c : cases) {
    auto samples = static_cast<std::uint32_t>(c.seconds * c.rate) * c.channels;
    auto facts = waveFactsOf(
        wave(format(1, c.channels, c.rate, 8) + chunk("data", std::string(samples, 'x'))));
    EXPECT_EQ(wordProblem(facts, c.waited).empty(), c.fine)
        << c.name << ": " << wordProblem(facts, c.waited);
  }
  EXPECT_FALSE(wordProblem(std::nullopt, true).empty());
  EXPECT_TRUE(wordFileSizeProblem(wordBounds::largestFile).empty());
  EXPECT_FALSE(wordFileSizeProblem(wordBounds::largestFile + 1).empty());
}

}  // namespace
