// The station's options: "NAME=value" lines after the eighth line of
// "quelmo.cfg". Each has a default that keeps the program as it is without
// the line; a line naming no option, or a value out of its range, is
// reported and the default kept.
#pragma once

#include <span>
#include <string>
#include <string_view>

class FrontPanel;

struct OptionRow {
  const char* name;
  double lowest;
  double highest;
  double byDefault;
  bool wholeNumber;
  void (*set)(FrontPanel& panel, double value);
  double (*get)(const FrontPanel& panel);
  const char* meaning;  // what its values do, for the station check
  // An option whose value is a text (an address) rather than a number:
  // why a value is not taken (empty when it is), and its text's setter and
  // getter (empty when not given). Null for a number.
  std::string (*textProblem)(std::string_view value) = nullptr;
  void (*setText)(FrontPanel& panel, std::string_view value) = nullptr;
  std::string (*getText)(const FrontPanel& panel) = nullptr;
};

// Every option the program knows.
std::span<const OptionRow> optionTable();

// One line after the eighth as read: the option it sets and the value, or
// why it sets nothing ("names no option the program knows"). A blank line
// is no option and no problem.
struct OptionLine {
  const OptionRow* option = nullptr;
  double value = 0;
  std::string text;  // a text option's value
  std::string problem;
};
OptionLine readOptionLine(std::string_view line);

// Sets the line's option; returns why the line was not taken, or nothing.
std::string takeOptionLine(FrontPanel& panel, std::string_view line);

// The option's value as written in the file ("1", "1.5").
std::string optionValueText(double value);
// The value a panel has of an option, as written in the file; empty for a
// text option not given.
std::string optionValueOf(const OptionRow& option, const FrontPanel& panel);
bool isDefault(const OptionRow& option, const FrontPanel& panel);
