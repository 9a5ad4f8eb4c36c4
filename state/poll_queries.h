// The poll's queries that the radio has not answered yet, oldest first. The
// radio answers in the order it was asked, so a reply belongs to the oldest
// waiting query of its kind, and queries asked before that one which are
// still waiting were lost on the way: they are given up.
#pragma once

#include <array>

#include "radio/radio.h"

struct PollQuery {
  Question question = Question::frequency;
  int tick = 0;           // the poll tick it went out on
  int stateCommands = 0;  // the program's frequency and mode commands sent before it
  bool connects = false;  // asked of a radio just found: its answer connects it
  int number = 0;         // told by asked(): which query it is
};

class PollQueries {
 public:
  // A query that went out; returns its number. When the list is full the
  // oldest is given up.
  int asked(PollQuery query);
  // Takes off the query that a reading of this question answers, with every
  // query asked before it; false, and nothing taken off, when none of the
  // question is waiting (the radio spoke unasked, or answered one given up).
  bool answer(Question question, PollQuery& query);
  // Gives up the queries that went out before this tick.
  void forgetAskedBefore(int tick);
  // Whether the query of that number still waits for its answer.
  bool waiting(int number) const;
  // Whether a query that connects still waits for its answer.
  bool connecting() const;
  int size() const { return count_; }

 private:
  void dropFirst(int count);

  static constexpr int capacity = 16;
  std::array<PollQuery, capacity> queries_{};
  int count_ = 0;
  int asked_ = 0;  // the queries asked so far
};
