#include "platform/word_queue.h"

#include <algorithm>
#include <cstring>

std::uint64_t WordQueue::add(const std::vector<std::int16_t>& samples) {
  std::lock_guard lock(mutex_);
  dropUnreleased();
  std::uint64_t number = ++lastNumber_;
  queue_.push_back(Queued{&samples, 0, number, false});
  return number;
}

bool WordQueue::waitReleased(std::uint64_t word, std::chrono::milliseconds longest) {
  std::unique_lock lock(mutex_);
  if (releasedSignal_.wait_for(lock, longest, [this, word] { return releasedThrough_ >= word; })) {
    return true;
  }
  std::erase_if(queue_, [word](const Queued& q) { return q.number == word; });
  return false;
}

bool WordQueue::releasedWithin(std::uint64_t word, std::chrono::milliseconds time) {
  std::unique_lock lock(mutex_);
  return releasedSignal_.wait_for(lock, time, [this, word] { return releasedThrough_ >= word; });
}

bool WordQueue::takenWithin(std::uint64_t word, std::chrono::microseconds time) {
  std::unique_lock lock(mutex_);
  return releasedSignal_.wait_for(lock, time, [this, word] { return !isQueued(word); });
}

void WordQueue::drop(std::uint64_t word) {
  std::lock_guard lock(mutex_);
  std::erase_if(queue_, [word](const Queued& q) { return q.number == word; });
}

void WordQueue::dropAll() {
  std::lock_guard lock(mutex_);
  queue_.clear();
  releasedThrough_ = lastNumber_;
  releasedSignal_.notify_all();
}

// Each word whose rest fits the release window is released now, so that the
// word said after it is queued in time to follow it without a gap.
bool WordQueue::fill(std::int16_t* out, std::size_t frames) {
  std::lock_guard lock(mutex_);
  bool hadSound = !queue_.empty();
  std::size_t filled = 0;
  while (filled < frames && !queue_.empty()) {
    Queued& front = queue_.front();
    std::size_t count = std::min(frames - filled, front.samples->size() - front.taken);
    std::memcpy(out + filled, front.samples->data() + front.taken, count * sizeof(std::int16_t));
    filled += count;
    front.taken += count;
    if (front.taken == front.samples->size()) queue_.pop_front();
  }
  std::memset(out + filled, 0, (frames - filled) * sizeof(std::int16_t));

  std::uint64_t released = releasedThrough_;
  std::size_t window = releaseFrames_ != 0 ? releaseFrames_ : frames;
  std::size_t ahead = 0;
  for (Queued& q : queue_) {
    ahead += q.samples->size() - q.taken;
    if (ahead > window) break;
    q.released = true;
    released = q.number;
  }
  // Words finished in this buffer were released by the one before, or
  // dropped when a later word was queued; a word that fitted in one buffer
  // is released only here, once it has been taken.
  if (queue_.empty()) {
    released = lastNumber_;
  } else {
    released = std::max(released, queue_.front().number - 1);
  }
  if (released != releasedThrough_ || (hadSound && queue_.empty())) {
    releasedThrough_ = released;
    releasedSignal_.notify_all();  // also tells finish() that all is played
    if (onRelease_) onRelease_();
  }
  return hadSound;
}

bool WordQueue::isPlaying() const {
  std::lock_guard lock(mutex_);
  return std::any_of(queue_.begin(), queue_.end(), [](const Queued& q) { return !q.released; });
}

bool WordQueue::isEmpty() const {
  std::lock_guard lock(mutex_);
  return queue_.empty();
}

std::size_t WordQueue::samplesLeft() const {
  std::lock_guard lock(mutex_);
  std::size_t left = 0;
  for (const Queued& q : queue_) left += q.samples->size() - q.taken;
  return left;
}

void WordQueue::finish(std::chrono::milliseconds longest) {
  std::unique_lock lock(mutex_);
  dropUnreleased();
  releasedSignal_.wait_for(lock, longest, [this] { return queue_.empty(); });
}

void WordQueue::dropUnreleased() {
  std::erase_if(queue_, [](const Queued& q) { return !q.released; });
}

bool WordQueue::isQueued(std::uint64_t word) const {
  return std::any_of(queue_.begin(), queue_.end(),
                     [word](const Queued& q) { return q.number == word; });
}
