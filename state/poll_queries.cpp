#include "state/poll_queries.h"

#include <algorithm>

void PollQueries::asked(const PollQuery& query) {
  if (count_ == capacity) dropFirst(1);
  queries_[static_cast<std::size_t>(count_++)] = query;
}

bool PollQueries::answer(Question question, PollQuery& query) {
  for (int i = 0; i < count_; ++i) {
    if (queries_[static_cast<std::size_t>(i)].question != question) continue;
    query = queries_[static_cast<std::size_t>(i)];
    dropFirst(i + 1);
    return true;
  }
  return false;
}

void PollQueries::forgetAskedBefore(int tick) {
  int old = 0;
  while (old < count_ && queries_[static_cast<std::size_t>(old)].tick < tick) ++old;
  dropFirst(old);
}

void PollQueries::dropFirst(int count) {
  std::copy(queries_.begin() + count, queries_.begin() + count_, queries_.begin());
  count_ -= count;
}
