// The words on their way to a sound device that asks for one buffer of
// samples at a time, from a thread of its own. The words follow each other
// sample for sample: a buffer goes from the end of one word straight on to
// the next. A word is released once the rest of it fits the release window
// (by default the next buffer); whoever waits for it goes on then and queues
// the next word in time to follow it. A word that is queued stops the sounds
// not yet released (the help playing on its own), but never the released
// rest of a word.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

class WordQueue {
 public:
  WordQueue() = default;
  // A word is released once its rest fits `releaseFrames` (0: the buffer
  // being filled); `onRelease` is called, with the queue locked, each time
  // fill() releases words or empties the queue.
  WordQueue(std::size_t releaseFrames, std::function<void()> onRelease)
      : releaseFrames_(releaseFrames), onRelease_(std::move(onRelease)) {}

  // Queues the samples, which must live until they have been played or
  // dropped; returns the word's number for waitReleased.
  std::uint64_t add(const std::vector<std::int16_t>& samples);
  // Sleeps until the word is released, at most `longest`: a device that
  // stops taking samples must not hold the program for ever. A word not
  // released by then is dropped. False in that case.
  bool waitReleased(std::uint64_t word, std::chrono::milliseconds longest);
  // Sleeps until the word is released (true) or the time has passed
  // (false); the word stays queued either way.
  bool releasedWithin(std::uint64_t word, std::chrono::milliseconds time);
  // Sleeps until the device has taken the whole word (true) or the time has
  // passed (false).
  bool takenWithin(std::uint64_t word, std::chrono::microseconds time);
  // Drops one word, or every word, released or not.
  void drop(std::uint64_t word);
  void dropAll();

  // One buffer for the device: the queued words one after the other, then
  // silence. True when it held any sound.
  bool fill(std::int16_t* out, std::size_t frames);

  // True while a word, or the help started without waiting, has more to play
  // than the next buffer takes.
  bool isPlaying() const;
  bool isEmpty() const;
  // The samples still to be taken, of every word queued.
  std::size_t samplesLeft() const;
  // Drops what is not yet released, then waits at most `longest` for the
  // rest to be taken: the last word is heard to its end when the device
  // closes, the help is not.
  void finish(std::chrono::milliseconds longest);

 private:
  struct Queued {
    const std::vector<std::int16_t>* samples = nullptr;
    std::size_t taken = 0;
    std::uint64_t number = 0;
    bool released = false;
  };

  void dropUnreleased();
  bool isQueued(std::uint64_t word) const;

  const std::size_t releaseFrames_ = 0;
  const std::function<void()> onRelease_;

  mutable std::mutex mutex_;
  std::condition_variable releasedSignal_;
  std::deque<Queued> queue_;
  std::uint64_t lastNumber_ = 0;
  std::uint64_t releasedThrough_ = 0;
};
