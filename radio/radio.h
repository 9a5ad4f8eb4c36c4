// The radio as the program sees it: typed operations going out and typed
// readings coming back, whatever the radio's own language. A dialect
// implements it (radio/yaesu/: Yaesu CAT; radio/rigctld/: Hamlib's rigctld
// server, for every other radio and a radio shared with other programs); it
// alone spells, builds, stores and cuts the radio's texts, and writes the
// traffic log's "TX=" and "RX=" lines. Nothing here imports anything of the
// program.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The levels the Up and Down keys set: the gains 0..255, the transmit power
// in watts, the filter width as the radio's width step.
enum class Level { afGain, rfGain, power, width };

// The receiver functions switched on and off by a key each.
enum class Function { preamp, attenuator, noiseBlanker, noiseReduction, notch, processor };

// What the program asks the radio.
enum class Question { frequency, mode, sMeter, swr, identity };

// A mode as the radio has it: the program's mode (1 LSB, 2 USB, 3 CW, 4 AM,
// 5 FM; 0 for one the program has no word for, such as RTTY or data) and
// which of the radio's forms of it (0 the one the program sets; others its
// variants, such as CW on the lower side or narrow AM).
struct RadioMode {
  int mode = 0;
  int form = 0;
  friend bool operator==(const RadioMode&, const RadioMode&) = default;
};

// One thing the program asked of the radio, with its value.
struct Operation {
  enum class Kind {
    frequency,    // value: Hz
    mode,         // value: the program's mode
    level,        // level, and value
    function,     // function, and value 1 on, 0 off
    transmit,     // value 1 transmit, 0 receive
    tune,         // value 1 the tuner tunes, 0 the tuning ends (the tuner stays in line)
    powerSwitch,  // value 1 on, 0 off
    wakeUp,       // bytes that wake a radio that is off; a radio that is on may refuse them
    question,     // question
  };
  Kind kind = Kind::question;
  int value = 0;
  Level level = Level::afGain;
  Function function = Function::preamp;
  Question question = Question::frequency;
};

// The setting a set command changes, as a number: its kind, and which
// level or function. Questions and the wake-up change none (-1).
constexpr int settingOf(const Operation& operation) {
  switch (operation.kind) {
    case Operation::Kind::level:
      return 100 + static_cast<int>(operation.level);
    case Operation::Kind::function:
      return 200 + static_cast<int>(operation.function);
    case Operation::Kind::question:
    case Operation::Kind::wakeUp:
      return -1;
    default:
      return static_cast<int>(operation.kind);
  }
}

// An S-meter at S0, 9 S units of 6 dB below S9; an SWR of 1.0 to 1.
constexpr int sZeroDb = -54;
constexpr int swrMatchedTenths = 10;

// One answer of the radio, in the order it came.
struct Reading {
  enum class Kind {
    frequency,  // value: Hz
    mode,       // mode
    sMeter,     // value: decibels over S9 (S9 is 0, each S unit 6 dB)
    swr,        // value: the standing-wave ratio in tenths (15 is 1.5 to 1)
    identity,   // identity, model: the radio's model number as it gives it
    refused,    // refused, before, candidates, lacking: what it refused
    // The radio's server answered for the radio, which did not answer it
    // (refused: the operation asked), or is switched off (switchedOff).
    absent,
    echo,       // the radio sent a question back as it was sent (some interfaces echo)
    // A reply in the form of the radio's language that the dialect cannot
    // read: a radio of another maker, or a model that answers otherwise
    // (the program's own frequency question answered with 11 digits).
    foreign,
    unknown,  // noise: bytes of no reply's form
  };
  Kind kind = Kind::unknown;
  int value = 0;
  RadioMode mode;
  std::string identity;
  // An identity: the model the dialect knows it for, which it now speaks
  // to in that model's own forms; empty for an identity it does not know.
  std::string model;
  // A refusal: the command it refuses when that is known (candidates 1),
  // and the value that setting was sent before it, if any. With more
  // candidates it refuses one of that many commands, none likelier than
  // the others; with none, no command was waiting for an answer.
  Operation refused;
  std::optional<int> before;
  int candidates = 1;
  bool lacking = false;      // refused: the radio has no such function or level at all
  bool switchedOff = false;  // absent: the radio is switched off
  std::string reply;  // as it came, to be shown: the station check prints it
};

// The facts of the radio that the program's keys follow.
struct WidthStep {
  int step;  // the radio's number for it
  int hz;
};
// What a radio may lack besides its functions and levels: the tuner (the T
// key with the radio's own tuner) and transmitting (the T key's carrier).
enum class Feature { tuner, transmit };
struct RadioFacts {
  std::span<const int> powerLadder;   // watts, lowest first: the P key's arrows
  std::span<const WidthStep> widths;  // narrowest first: the W key's arrows
  // What the radio does not have, a bit each (bitOf): its keys say "not
  // available" and nothing is sent for it. A dialect that learns it from the
  // radio adds to it as the radio tells.
  unsigned lacking = 0;

  static constexpr unsigned bitOf(Function function) {
    return 1U << static_cast<unsigned>(function);
  }
  static constexpr unsigned bitOf(Level level) { return 1U << (8 + static_cast<unsigned>(level)); }
  static constexpr unsigned bitOf(Feature feature) {
    return 1U << (16 + static_cast<unsigned>(feature));
  }
  bool lacks(Function function) const { return (lacking & bitOf(function)) != 0; }
  bool lacks(Level level) const { return (lacking & bitOf(level)) != 0; }
  bool lacks(Feature feature) const { return (lacking & bitOf(feature)) != 0; }
};

class Radio {
 public:
  virtual ~Radio() = default;

  virtual const RadioFacts& facts() const = 0;

  // --- Operations: each goes out at once; nothing waits for the radio ---
  void setFrequency(int hz) { carry({Operation::Kind::frequency, hz}); }
  void setMode(int mode) { carry({Operation::Kind::mode, mode}); }
  void setLevel(Level level, int value) { carry({Operation::Kind::level, value, level}); }
  void setFunction(Function function, bool on) {
    carry({Operation::Kind::function, on ? 1 : 0, Level::afGain, function});
  }
  void transmit(bool on) { carry({Operation::Kind::transmit, on ? 1 : 0}); }
  void tune(bool start) { carry({Operation::Kind::tune, start ? 1 : 0}); }
  void wakeUp() { carry({Operation::Kind::wakeUp}); }
  void switchPower(bool on) { carry({Operation::Kind::powerSwitch, on ? 1 : 0}); }
  // True when the question went out whole (a network link may not take
  // bytes yet).
  bool ask(Question question) {
    return carry({Operation::Kind::question, 0, Level::afGain, Function::preamp, question});
  }

  // --- Readings ---
  // What the radio has sent since the last read, without waiting: every
  // whole answer, in order. An answer cut by the read is finished by the
  // next one.
  virtual std::vector<Reading> read() = 0;
  // Waits for the answer to a question just asked: each reading is handed
  // to take, in order, as soon as it is whole, until take says it was the
  // answer or the radio falls silent for a moment. The link's reads never
  // wait again afterwards.
  virtual void awaitAnswer(const std::function<bool(const Reading&)>& take) = 0;
  // The start of an answer still to be finished, as it came.
  virtual std::string unfinished() const = 0;
  // The link has just been opened again: what was sent on the link before
  // will not be answered any more.
  virtual void linkOpened() {}

 protected:
  // Sends the operation; false when the link did not take it whole.
  virtual bool carry(const Operation& operation) = 0;
};
