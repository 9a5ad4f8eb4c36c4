#include "command_forms.h"

#include <array>

namespace {

// Commands that are always the same text.
constexpr std::array<std::string_view, 28> fixedCommands = {
    "FA;",    "SM0;",   "RM6;",   "MD0;",   "MD01;",  "MD02;",  "MD03;",  "MD05;", "MD0B;",
    "TX0;",   "TX1;",   "AC001;", "AC002;", "BC00;",  "BC01;",  "PR01;", "PR02;",
    "PA00;",  "PA01;",  "RA00;",  "RA01;",  "NB00;",  "NB01;",  "NR00;", "NR01;",
    "PS0;",   "PS1;",   "Power on;"};

// Commands that carry a number of a fixed count of digits, within the range
// the program ever sets: the frequency, the power ladder, the gains and the
// filter widths.
struct NumberedForm {
  std::string_view head;
  std::size_t digits;
  long lowest;
  long highest;
};

constexpr std::array<NumberedForm, 5> numberedCommands = {{
    {"FA", 9, 0, 999'999'999},
    {"PC0", 3, 5, 100},
    {"AG0", 3, 0, 250},
    {"RG0", 3, 0, 250},
    {"SH0", 2, 9, 21},
}};

bool matchesNumbered(std::string_view text, const NumberedForm& form) {
  if (text.size() != form.head.size() + form.digits + 1 || !text.starts_with(form.head) ||
      !text.ends_with(';')) {
    return false;
  }
  long value = 0;
  for (char c : text.substr(form.head.size(), form.digits)) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value >= form.lowest && value <= form.highest;
}

}  // namespace

bool isProgramCommand(std::string_view text) {
  for (std::string_view fixed : fixedCommands) {
    if (text == fixed) return true;
  }
  for (const NumberedForm& form : numberedCommands) {
    if (matchesNumbered(text, form)) return true;
  }
  return false;
}
