// The simulated radio: a model of the Yaesu FT family (the FT-991A unless
// told), its state, the CAT commands it obeys and the answers it gives.
// Its identity, its digits and forms, what it takes and what it refuses
// with "?;" (a command the model lacks among them) come from the program's
// own table of the model (radio/yaesu/models.h). No I/O here; the event
// loop feeds it commands and clock steps.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "radio/radio.h"
#include "radio/yaesu/models.h"

class Transceiver {
 public:
  explicit Transceiver(std::uint64_t seed, bool startOff,
                       const yaesu::Model& model = yaesu::writtenModel());

  const yaesu::Model& model() const { return model_; }
  // "ID;" is answered with this number instead of the model's own, as a
  // model the table does not have would answer.
  void answerIdentity(int identity) { identity_ = identity; }

  // One command as received, without its ";". Returns the reply text (with
  // its ";") for a query it answers, and "?;" for a command it does not
  // know or a value it does not take (a frequency outside its coverage, a
  // level out of its range). Returns nothing for a set command it carries
  // out, for text that is no command at all (line noise, the wake-up text),
  // and for anything but "PS1" while switched off.
  std::optional<std::string> handleCommand(const std::string& command);

  // One step of the band noise: the S-meter moves a little, within 0..255.
  void wanderSMeter();
  // One step of the SWR reading while transmitting: a slow drift that goes
  // up and down between 100 and 140.
  void driftSwr();

  // The operator at the radio's own knobs.
  void setFrequency(long hz) { frequencyHz_ = hz; }
  bool setMode(char character);  // false for a character that is none of its modes
  // The radio has no command with this head ("BC0"): it refuses it.
  void removeCommand(const std::string& head) { missing_.insert(head); }
  void setSMeter(int reading);
  void switchOff();
  void switchOn() { poweredOn_ = true; }

  long frequencyHz() const { return frequencyHz_; }
  char modeCharacter() const { return modeCharacter_; }
  bool poweredOn() const { return poweredOn_; }
  bool transmitting() const { return transmitting_; }
  int sMeter() const { return sMeter_; }
  int swr() const { return swr_; }
  // The last value given by a set command with this head ("PC0", "AG0"):
  // the parameter text, or empty when none came yet.
  std::string setting(const std::string& mnemonic) const;

  // Replaces one byte of the reply with another, as line noise would.
  std::string garble(const std::string& reply);
  // True with the given probability.
  bool chance(double rate);

 private:
  std::string answer(Question question) const;
  std::string meterReply(const yaesu::MeterForm& form, int reading) const;
  void apply(const Operation& operation, const std::string& command);

  const yaesu::Model& model_;
  int identity_;
  long frequencyHz_ = 7100000;
  char modeCharacter_ = '1';
  bool poweredOn_ = true;
  bool transmitting_ = false;
  int sMeter_ = 40;
  int swr_ = 100;
  int swrDirection_ = 1;
  std::map<std::string, std::string> settings_;
  std::set<std::string> missing_;
  std::mt19937_64 random_;
};

// Text that can be a CAT command: two upper-case letters, then upper-case
// letters and digits only. Anything else is noise to the radio.
bool isWellFormed(const std::string& command);
