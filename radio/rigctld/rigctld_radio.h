// The rigctld dialect: the radio interface spoken as Hamlib's rigctld
// protocol (protocol.h) on a TCP connection, which the platform opens as the
// program's port to the address of the option RIGCTLD. Every command line
// goes out as one write and its "TX=" line; every reply block is one "RX="
// line.
//
// Matching. rigctld answers a client's commands in order, and each reply
// names its command, so a reply belongs to the oldest command waiting with
// that name; commands before it that are still waiting were lost. A reply
// done ("RPRT 0") to a question is its reading; a set command done says
// nothing. A refusal ("RPRT" below 0) refuses exactly its own command:
//   - "the radio lacks it" (-11, -4): its function or level is added to what
//     the radio lacks (facts().lacking), so it is not sent again, and the
//     refusal says so (Reading::lacking);
//   - "the radio does not answer" (-5 timed out, -6 rigctld's port failed) or
//     "it is switched off" (-20, and a question done without its value, as
//     Hamlib 4.5's rigctld answers while the radio is off): an absent
//     reading, so the link watch says why;
//   - anything else: a refusal, its value given back as the Yaesu dialect
//     gives it.
// At each new connection the dialect asks the radio's capabilities
// ("\dump_caps"): what it lacks, the steps of its preamp and attenuator; the
// set commands wait for them, so that nothing the radio lacks is sent. Once
// the frequency is known it asks the maximum power ("\power2mW"), which cuts
// the P key's power ladder and converts the power when rigctld will not.
//
// Pace. A question is not sent again while the same one, asked before the
// last read, still waits for its answer and no set command has gone out
// since: a radio that answers rigctld slowly (rigctld waits seconds for one
// that is off) would otherwise pile up questions at rigctld, and its answers
// would come ever later. An
// answer that comes more than a second after its question is no reading, as
// the poll gives up its questions after a second.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "radio/radio.h"
#include "radio/rigctld/capabilities.h"
#include "radio/rigctld/protocol.h"

namespace rigctld {

// Writes one line to the traffic log (which keeps it only when logging is on).
using LogLine = std::function<void(std::string_view line)>;

class RigctldRadio : public Radio {
 public:
  // The port is the program's number for the connection, read at each
  // operation.
  RigctldRadio(Platform& platform, const int& port, LogLine log);

  const RadioFacts& facts() const override { return facts_; }
  std::vector<Reading> read() override;
  void awaitAnswer(const std::function<bool(const Reading&)>& take) override;
  std::string unfinished() const override;
  void linkOpened() override;

 protected:
  bool carry(const Operation& operation) override;

 private:
  // A command sent and not yet answered.
  struct Sent {
    Operation operation;
    Command command;
    // Its refusal is the operation's: false for a command that only
    // prepares it (the tuner put in line before it tunes) and for the
    // dialect's own questions, whose answers are no readings either.
    bool carries;
    bool own;
    std::optional<int> before;  // the value its setting was sent before it
    int read;                   // the count of reads when it went out
    bool overtaken = false;     // a question after which a set command went out
  };

  // An operation waiting to be sent, with the value its setting was sent
  // before it.
  struct Held {
    Operation operation;
    std::optional<int> before;
  };

  bool lacks(const Operation& operation) const;
  bool powerUnset() const;
  void sendHeldTransmit();
  bool dispatch(const Operation& operation, std::optional<int> before);
  void sendHeld();
  bool send(const Command& command, const Operation& operation, bool carries, bool own,
            std::optional<int> before);
  bool sendOperation(const Operation& operation, std::optional<int> before);
  bool waiting(const Command& question, const Operation& operation);
  void askOwnQuestions();
  std::vector<Reading> readingsIn(std::string_view received);
  std::optional<Reading> answerOf(const std::vector<std::string>& lines);
  std::optional<Reading> take(const Sent& sent, const Reply& reply);
  std::optional<Reading> takeOwn(const Sent& sent, const Reply& reply);
  Reading refusalOf(const Sent& sent, const Reply& reply);
  void learnLacking(const Operation& operation);
  void giveBack(const Sent& refused);
  void knowCapabilities(const Capabilities& capabilities);
  void knowMaximumWatts(int watts);
  int maximumWatts() const;
  void knowFrequency(int hz);
  void knowMode(std::string_view name);
  void sendHeldPower();
  std::optional<int> remember(const Operation& operation);

  Platform& platform_;
  const int& port_;
  LogLine log_;
  RadioFacts facts_;
  std::vector<int> powerLadder_;
  int maximumWatts_ = 0;  // as the radio told it; 0 until then
  Capabilities capabilities_;
  unsigned learnedLacking_ = 0;  // refused as lacking since the capabilities came
  Setting setting_;
  std::deque<Held> held_;             // set commands waiting for the capabilities
  std::optional<Held> heldPower_;     // a power waiting for its frequency and mode
  std::optional<Held> heldTransmit_;  // the transmitter on, waiting for the power set before it
  bool capabilitiesAsked_ = false;
  bool capabilitiesKnown_ = false;
  bool maximumAsked_ = false;
  std::deque<Sent> unanswered_;
  std::map<int, int> lastSent_;     // the last value sent for each setting
  std::string line_;                // the start of a line still to be finished
  std::vector<std::string> block_;  // the lines of a reply still to be finished
  int reads_ = 0;
};

}  // namespace rigctld
