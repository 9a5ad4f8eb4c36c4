// Hamlib's rigctld protocol as the program speaks it: every command line and
// every reply form, spelled here and nowhere else. The dialect
// (rigctld_radio.cpp) speaks with it, and the tests' fake rigctld answers the
// forms it names.
//
// A command is one line: "+", which asks for the extended responses, the
// command and its arguments, and "\n" ("+F 14200000\n"). rigctld answers a
// client's commands in the order they came, each with a block of lines:
// first the command's long name and a colon, with the arguments it took
// ("set_freq: 14200000"); then a question's values, each "Name: value" or a
// bare value; last "RPRT n", 0 when it was done and below 0 for Hamlib's
// error n. So every reply names its command, and a reply is matched to its
// command by that name, with the level's or function's name for those
// ("get_level STRENGTH").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "radio/radio.h"

namespace rigctld {

// The port rigctld listens on when it is not told another.
constexpr int defaultPort = 4532;

// Hamlib's errors that the program tells apart (RPRT -n).
namespace error {
constexpr int notImplemented = -4;  // the radio's backend has no such command
constexpr int timedOut = -5;        // the radio did not answer rigctld
constexpr int inputOutput = -6;     // rigctld's port to the radio failed
constexpr int notAvailable = -11;   // the radio has no such function or level
constexpr int powerOff = -20;       // the radio is switched off
}  // namespace error

// One command as it goes out: its line without "+" and "\n", and the name
// its reply begins with.
struct Command {
  std::string line;
  std::string name;
};

// A reply block as read: the name it begins with (as a Command names it),
// the lines between that and "RPRT", and n.
struct Reply {
  std::string name;
  std::vector<std::string> values;
  int result = 0;
  std::string text;  // every line, joined by "|" as rigctld's own one-line form shows them
};

// What an operation needs that the dialect knows of the radio at the time.
struct Setting {
  std::string modeName;  // the radio's mode as Hamlib names it ("USB"), for the width
  int preampDb = 0;      // the preamp's and the attenuator's first step the radio offers
  int attenuatorDb = 0;
  int frequencyHz = 0;  // for the power's conversion to the radio's scale
  int widthHz = 0;      // the width step's passband
};

// The commands that carry an operation, in order; none for one rigctld has
// no command for (the wake-up: rigctld wakes the radio itself). The
// transmit power goes first as its conversion to the radio's own scale
// (powerCommand takes its answer on).
std::vector<Command> commandsOf(const Operation& operation, const Setting& setting);
// The power setting in the radio's scale (0..1), as mW2power answered it.
Command powerCommand(std::string_view scale);
// Whether a reply answers the power's conversion, and the power in the
// radio's scale it holds ("0.050000"; nothing when it holds none).
bool isPowerScale(const Reply& reply);
bool isPowerScale(const Command& command);
std::optional<std::string> powerScaleOf(const Reply& reply);
// The power in the radio's scale worked out here, watts of its maximum,
// for a rigctld that does not convert it: Hamlib 4.5 refuses to convert a
// power within the range of a radio whose backend has no conversion of its
// own (RPRT -10: the Kenwood TS-590S's, for one).
std::string powerScale(int watts, int maximumWatts);
// Asks the radio's maximum power on the frequency, in milliwatts; the
// watts its answer holds.
Command maximumPowerQuestion(const Setting& setting);
std::optional<int> maximumWattsOf(const Reply& reply);
// Asks the radio's capabilities: its model, functions, levels and steps.
Command capabilitiesQuestion();

// Hamlib's name of a function ("ANF" for the notch): a function switched
// by "U", or, for those set in decibels, a level set by "L" ("PREAMP").
std::string_view hamlibName(Function function);
bool setInDecibels(Function function);
// Hamlib's name of a level ("AF"); empty for the width, set with the mode.
std::string_view hamlibName(Level level);

// Hamlib's name of a program mode ("USB"); empty for none.
std::string_view modeName(int mode);
// A Hamlib mode as the program has it: its variants (CWR, FMN) as forms of
// the program's modes; a mode the program has no word for is mode 0.
RadioMode radioModeOf(std::string_view name);

// The name a reply's first line gives ("get_level STRENGTH"); nothing for a
// line that names no command.
std::optional<std::string> replyName(std::string_view firstLine);
// n of a line "RPRT n"; nothing for any other line.
std::optional<int> resultOf(std::string_view line);

// A question's value in its reply: the text after "Name: " of the line
// that begins so, or with no name (a level's value) the first line;
// nothing when the reply has none.
std::optional<std::string> valueOf(const Reply& reply, std::string_view name);

// The reading of a question's reply that was done (RPRT 0); unknown when it
// holds no value of the question's form.
Reading readingOf(Question question, const Reply& reply);

}  // namespace rigctld
