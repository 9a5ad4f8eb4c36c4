#include "state/poll_queries.h"

#include <algorithm>

int PollQueries::asked(PollQuery query) {
  if (count_ == capacity) dropFirst(1);
  query.number = ++asked_;
  queries_[static_cast<std::size_t>(count_++)] = query;
  return query.number;
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

bool PollQueries::waiting(int number) const {
  return std::any_of(queries_.begin(), queries_.begin() + count_,
                     [number](const PollQuery& query) { return query.number == number; });
}

bool PollQueries::connecting() const {
  return std::any_of(queries_.begin(), queries_.begin() + count_,
                     [](const PollQuery& query) { return query.connects; });
}

void PollQueries::dropFirst(int count) {
  std::copy(queries_.begin() + count, queries_.begin() + count_, queries_.begin());
  count_ -= count;
}
