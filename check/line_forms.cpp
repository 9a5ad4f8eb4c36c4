#include "check/line_forms.h"

#include <algorithm>
#include <array>

#include "app/options.h"
#include "app/port_line.h"
#include "platform/text.h"

namespace {

constexpr std::size_t settingLines = 8;

// The speeds a radio's CAT port is set to.
constexpr std::array<int, 8> catSpeeds = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr std::array<int, 11> powerSteps = {5, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

// Lines 4 to 8: one character at a fixed position, one of a few.
struct CharacterLine {
  int line;
  int position;
  std::string_view allowed;
  std::string_view example;
  std::string_view otherwise;  // what any other character is read as; empty: its number
};

constexpr std::array<CharacterLine, 5> characterLines = {{
    {4, 5, "012", "SWR=0", ""},
    {5, 5, "01", "TUN=0", ""},
    {6, 9, "1627", "BANDMAX=7", "every band, up to 70 centimetres"},
    {7, 8, "01", "PWRCTL=0", ""},
    {8, 7, "01", "DEBUG=0", ""},
}};

bool allDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

int length(const std::string& line) { return static_cast<int>(line.size()); }

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

template <std::size_t N>
bool isOneOf(int value, const std::array<int, N>& values) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

class Checker {
 public:
  explicit Checker(std::vector<FormWarning>& warnings) : warnings_(warnings) {}

  void warn(int line, std::string text) { warnings_.push_back({line, std::move(text)}); }

  void portLine(const std::string& line) {
    int port = portOfLine(line);
    int digits = trailingDigits(line);
    if (port == 0) {
      warn(1, "It should end in the port number, 1 to 99 (port1, COM12); it is read as port 0, " +
                  std::string("which names no port."));
    } else if (digits > 2) {
      warn(1, "It ends in " + std::to_string(digits) + " digits, of which the last two name the " +
                  "port: it is read as port " + std::to_string(port) + ".");
    }
  }

  void speedLine(const std::string& line) {
    std::string value = middleChars(line, 7);
    int speed = truncateToInt(numberOf(value));
    if (length(line) >= 6 && allDigits(middleChars(line, 6, 1)) && allDigits(value)) {
      warn(2, "The speed is read from the 7th character on, so " + quoted(line) + " is read as " +
                  std::to_string(speed) + ". Put six characters before the speed: SPEED=" +
                  middleChars(line, findFirstDigit(line)) + ".");
    } else if (!allDigits(value)) {
      warn(2, "It should hold only the speed's digits from its 7th character on (SPEED=38400); " +
                  quoted(value) + " is read as " + std::to_string(speed) + ".");
    } else if (!isOneOf(speed, catSpeeds)) {
      warn(2, std::to_string(speed) + " is not a speed a radio's CAT port is set to "
                                      "(4800, 9600, 19200 or 38400).");
    }
  }

  void powerLine(const std::string& line) {
    int watts = 0;
    if (length(line) == 7) watts = truncateToInt(numberOf(lastChars(line, 1)));
    if (length(line) == 8) watts = truncateToInt(numberOf(lastChars(line, 2)));
    if (length(line) == 9) {
      if (lastChars(line, 3) != "100") {
        warn(3, "It is 9 characters long, which means 100 watts whatever it says. For less, "
                "write a line of 7 or 8 characters, such as POWER=50.");
      }
      return;
    }
    std::string value = lastChars(line, length(line) == 8 ? 2 : 1);
    if (length(line) < 7 || length(line) > 9) {
      warn(3, "It should be 7, 8 or 9 characters long (POWER=5, POWER=50, POWER=100); it is " +
                  std::to_string(line.size()) + ", and is read as 5 watts.");
    } else if (!allDigits(value) || !isOneOf(std::max(watts, 5), powerSteps)) {
      warn(3, "It should end in a power step, 5, 10, 20 and so on to 100; " + quoted(value) +
                  " is read as " + std::to_string(std::max(watts, 5)) + " watts.");
    }
  }

  void characterLine(const CharacterLine& form, const std::string& line) {
    std::string value = middleChars(line, form.position, 1);
    if (!value.empty() && form.allowed.find(value[0]) != std::string_view::npos) return;
    std::string allowed;
    for (char c : form.allowed) allowed += std::string(allowed.empty() ? "" : " or ") + c;
    std::string readAs = form.otherwise.empty()
                             ? std::to_string(truncateToInt(numberOf(value)))
                             : std::string(form.otherwise);
    warn(form.line, "It should have " + allowed + " as its character " +
                        std::to_string(form.position) + " (" + std::string(form.example) +
                        "); it has " + (value.empty() ? "none" : quoted(value)) +
                        ", which is read as " + readAs + ".");
  }

  // Read as the program reads it: a line it does not take is ignored.
  void optionLine(int number, const std::string& line) {
    std::string problem = readOptionLine(line).problem;
    if (!problem.empty()) warn(number, "It " + problem + ": Quelmo ignores it.");
  }

 private:
  static int findFirstDigit(const std::string& line) {
    std::size_t digit = line.find_first_of("0123456789");
    return digit == std::string::npos ? 1 : static_cast<int>(digit) + 1;
  }

  std::vector<FormWarning>& warnings_;
};

}  // namespace

std::vector<FormWarning> formWarnings(const std::vector<std::string>& lines) {
  std::vector<FormWarning> warnings;
  Checker check(warnings);
  if (lines.size() < settingLines) {
    check.warn(static_cast<int>(lines.size()) + 1,
               "It is missing: the file has " + std::to_string(lines.size()) +
                   " lines of 8, and the missing ones are read as empty.");
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int number = static_cast<int>(i) + 1;
    // Quelmo reads a line only as far as a text holds.
    const std::string line = firstChars(lines[i], Text::capacity);
    bool overlong = lines[i].size() > line.size();
    if (overlong) {
      check.warn(number, "It is " + std::to_string(lines[i].size()) +
                             " characters long; Quelmo reads only its first " +
                             std::to_string(Text::capacity) +
                             (number == 1 ? ", and finds no port in them." : "."));
    }
    if (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
      check.warn(number, "It ends with a blank, which counts as a character.");
    }
    if (number == 1 && !overlong) check.portLine(line);
    if (number == 2) check.speedLine(line);
    if (number == 3) check.powerLine(line);
    for (const auto& form : characterLines) {
      if (form.line == number) check.characterLine(form, line);
    }
    if (i >= settingLines && !line.empty()) check.optionLine(number, line);
  }
  std::stable_sort(warnings.begin(), warnings.end(),
                   [](const FormWarning& a, const FormWarning& b) { return a.line < b.line; });
  return warnings;
}
