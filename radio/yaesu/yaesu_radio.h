// The Yaesu CAT dialect: the radio interface spoken as CAT text on the
// platform's serial port, from a model's table. Every command goes out as
// one write and its "TX=" line; every read that got bytes is an "RX=" line.
//
// It speaks with the written model's table (the FT-991A) until the radio
// answers "ID;" with the identity of a model of the family (models.h): from
// that answer on, the replies after it included, it speaks that model's
// forms. An identity the family does not have leaves the table as it is.
//
// Which command a "?;" refuses. The radio answers in the order it was
// asked, answers a question with its value or "?;", and answers a set
// command only to refuse it. So a "?;" refuses one of the commands sent
// since the last answered question, up to and including the first question
// among them; a set command that repeats the value the radio last took for
// its setting (Z on a frequency already whole) is taken again, and is
// none of them. Of those it refuses:
//   1. the first set command the model's table says the radio does not take
//      (a frequency outside its coverage, a value out of its range, the
//      wake-up text), as the radio refuses exactly those;
//   2. else the one set command, when there is one;
//   3. else the question, when there are no set commands;
//   4. else, with several set commands the table says it takes, one of
//      them: the refusal names how many, and nothing is rolled back.
// With nothing waiting at all, it refuses nothing known. Commands not
// answered within ten reads (a second of the poll) are given up, as the
// radio does not answer them any more.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "radio/radio.h"
#include "radio/yaesu/model.h"

namespace yaesu {

// Writes one line to the traffic log (which keeps it only when logging is on).
using LogLine = std::function<void(std::string_view line)>;

class YaesuRadio : public Radio {
 public:
  // The port is the program's port number, read at each operation: the
  // configuration sets it after the panel is made.
  YaesuRadio(Platform& platform, const int& port, LogLine log, const Model& model);

  const RadioFacts& facts() const override { return facts_; }
  const Model& model() const { return *model_; }
  std::vector<Reading> read() override;
  void awaitAnswer(const std::function<bool(const Reading&)>& take) override;
  std::string unfinished() const override { return fragment_; }
  // A reply still to be finished is kept shorter than this: longer than any
  // reply of the family, so that another maker's (an 11-digit frequency) is
  // read whole and can be named; more without a ";" is noise.
  static constexpr std::size_t longestUnfinished = 32;

 protected:
  bool carry(const Operation& operation) override;

 private:
  // A command sent and not yet answered.
  struct Sent {
    Operation operation;
    std::string text;  // with its ";"
    bool taken;        // the table says the radio takes it
    std::optional<int> before;
    int read;  // the count of reads when it went out
  };

  std::vector<Reading> answersIn(std::string_view received);
  Reading answerOf(std::string_view reply);
  void adopt(const Model& model);
  void answered(Question question);
  void settleUpTo(std::deque<Sent>::iterator end);
  bool takenBefore(const Sent& sent) const;
  Reading refusalOf(Reading reading);
  Reading refusalAmong(Reading reading, const std::vector<std::deque<Sent>::iterator>& setCommands,
                       std::deque<Sent>::iterator question);
  void giveBack(std::deque<Sent>::iterator refused);
  void remember(const Operation& operation, const std::string& text);
  void giveUpSentBefore(int read);

  Platform& platform_;
  const int& port_;
  LogLine log_;
  const Model* model_;
  RadioFacts facts_;
  std::string fragment_;           // the start of a reply whose ";" is still to come
  std::deque<Sent> unanswered_;
  std::map<int, int> lastSent_;  // the last value sent for each setting
  std::map<int, int> taken_;     // the last value the radio took for each setting
  int reads_ = 0;
};

}  // namespace yaesu
