#include "platform/word_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Samples = std::vector<std::int16_t>;
using Runs = std::vector<std::pair<std::int16_t, std::size_t>>;  // value, how many

constexpr std::size_t frames = 1024;

// One buffer as the device takes it, as runs of one value.
Runs nextBuffer(WordQueue& words) {
  Samples buffer(frames, -1);
  words.fill(buffer.data(), frames);
  Runs runs;
  for (std::int16_t s : buffer) {
    if (runs.empty() || runs.back().first != s) runs.emplace_back(s, 0);
    ++runs.back().second;
  }
  return runs;
}

bool released(WordQueue& words, std::uint64_t word) { return words.waitReleased(word, 0ms); }

TEST(WordQueue, APhraseRunsWordIntoWordAndEachIsReleasedWhenTheNextBufferEndsIt) {
  Samples one(1500, 1), two(700, 2), three(300, 3);
  WordQueue words;
  auto first = words.add(one);
  EXPECT_EQ(nextBuffer(words), (Runs{{1, 1024}}));
  EXPECT_TRUE(released(words, first));  // the 476 left fit the next buffer
  auto second = words.add(two);
  EXPECT_EQ(nextBuffer(words), (Runs{{1, 476}, {2, 548}}));
  EXPECT_TRUE(released(words, second));
  auto third = words.add(three);
  EXPECT_EQ(nextBuffer(words), (Runs{{2, 152}, {3, 300}, {0, 572}}));
  EXPECT_TRUE(released(words, third));
  EXPECT_TRUE(words.isEmpty());
  EXPECT_EQ(nextBuffer(words), (Runs{{0, 1024}}));
}

TEST(WordQueue, AWordStopsTheHelpButNotTheRestOfAReleasedWord) {
  Samples help(5000, 7), word(10, 8), last(1100, 9);
  WordQueue words;
  words.add(help);
  nextBuffer(words);
  EXPECT_TRUE(words.isPlaying());
  words.add(word);  // the help's 3976 samples left are dropped
  EXPECT_EQ(nextBuffer(words), (Runs{{8, 10}, {0, 1014}}));
  EXPECT_FALSE(words.isPlaying());

  auto first = words.add(last);
  nextBuffer(words);
  ASSERT_TRUE(released(words, first));
  words.add(word);  // the released 76 samples are still heard
  EXPECT_EQ(nextBuffer(words), (Runs{{9, 76}, {8, 10}, {0, 938}}));
}

TEST(WordQueue, AWordTheDeviceNeverTakesIsDroppedWhenTheWaitEnds) {
  Samples word(3000, 4);
  WordQueue words;
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(words.waitReleased(words.add(word), 100ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
  EXPECT_TRUE(words.isEmpty());
}

TEST(WordQueue, FinishLetsTheReleasedRestBeTakenAndDropsTheHelp) {
  Samples word(1500, 5), help(50000, 6);
  WordQueue words;
  words.add(word);
  nextBuffer(words);  // the word is released
  std::thread device([&words] {
    std::this_thread::sleep_for(50ms);
    Samples buffer(frames);
    words.fill(buffer.data(), frames);
  });
  words.finish(2s);
  EXPECT_TRUE(words.isEmpty());
  device.join();

  words.add(help);
  nextBuffer(words);
  auto start = std::chrono::steady_clock::now();
  words.finish(2s);  // nothing released to wait for
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
  EXPECT_TRUE(words.isEmpty());
}

// The desktop's device: 512-frame buffers, a word released once its rest
// fits three of them, and each release told to a descriptor.
TEST(WordQueue, AWiderReleaseWindowReleasesEarlierAndEachReleaseIsTold) {
  Samples word(2500, 1), buffer(512);
  int told = 0;
  WordQueue words(3 * 512, [&told] { ++told; });
  auto first = words.add(word);
  words.fill(buffer.data(), 512);
  EXPECT_FALSE(words.releasedWithin(first, 0ms));  // 1988 left
  EXPECT_EQ(told, 0);
  words.fill(buffer.data(), 512);
  EXPECT_TRUE(words.releasedWithin(first, 0ms));  // 1476 left fit three buffers
  EXPECT_EQ(told, 1);
  words.fill(buffer.data(), 512);
  words.fill(buffer.data(), 512);
  EXPECT_FALSE(words.takenWithin(first, 0ms));  // 452 still to take
  EXPECT_EQ(told, 1);
  words.fill(buffer.data(), 512);
  EXPECT_TRUE(words.takenWithin(first, 0ms));
  EXPECT_EQ(told, 2);  // the queue that empties is told too
}

}  // namespace
