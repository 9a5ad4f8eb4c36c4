// The option table and the reading of one option line.
#include "app/options.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "state/front_panel.h"

namespace {

// An address in digits and its port: "127.0.0.1:4532", "[::1]:4532". A
// host name is taken here and refused by the link, which says so.
std::string addressProblem(std::string_view value) {
  constexpr const char* form = ": write it as 127.0.0.1:4532";
  std::size_t colon = value.rfind(':');
  if (value.empty() || value.find_first_of(" \t") != std::string_view::npos) {
    return std::string("has no address") + form;
  }
  std::string_view port = colon == std::string_view::npos ? "" : value.substr(colon + 1);
  bool portDigits = !port.empty() && port.size() <= 5 &&
                    port.find_first_not_of("0123456789") == std::string_view::npos;
  if (colon == 0 || !portDigits || std::stoi(std::string(port)) < 1 ||
      std::stoi(std::string(port)) > 65535) {
    return std::string("has no address with a port number") + form;
  }
  return {};
}

constexpr std::array<OptionRow, 5> options = {{
    {"SPEECH_CUT", 0, 1, 0, true,
     [](FrontPanel& p, double v) { p.speechCut = static_cast<int>(v); },
     [](const FrontPanel& p) { return static_cast<double>(p.speechCut); },
     "1: a key pressed while a phrase is spoken stops it; 0: every phrase is said to its end"},
    {"SPEECH_RATE", 0.5, 3.0, 1, false, [](FrontPanel& p, double v) { p.speechRate = v; },
     [](const FrontPanel& p) { return p.speechRate; },
     "every word is played this many times as fast as recorded, at the same pitch"},
    {"SPEAK_RADIO_CHANGES", 0, 1, 0, true,
     [](FrontPanel& p, double v) { p.speakRadioChanges = static_cast<int>(v); },
     [](const FrontPanel& p) { return static_cast<double>(p.speakRadioChanges); },
     "1: a frequency or mode changed at the radio is said once it rests; 0: it is not"},
    {"SYSTEM_SPEECH", 0, 1, 0, true,
     [](FrontPanel& p, double v) { p.systemSpeech = static_cast<int>(v); },
     [](const FrontPanel& p) { return static_cast<double>(p.systemSpeech); },
     "1: every answer is said as text by the system's speech, the operator's own voice "
     "(speech-dispatcher; on Windows the screen reader, else the Windows voice); 0: the "
     "recorded words"},
    {"RIGCTLD", 0, 0, 0, false, nullptr, nullptr,
     "the radio is reached through Hamlib's rigctld at this address, in digits with its port; "
     "not given: the Yaesu CAT commands on line 1's port",
     addressProblem,
     [](FrontPanel& p, std::string_view value) { p.rigctldAddress = std::string(value); },
     [](const FrontPanel& p) { return p.rigctldAddress; }},
}};

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

// The whole text as a number, or NaN: "1.5", "2", " 0.75"; not "1.5x",
// "fast" or an empty text.
double wholeTextAsNumber(std::string_view text) {
  std::string value(text);
  if (value.empty()) return std::nan("");
  char* end = nullptr;
  double number = std::strtod(value.c_str(), &end);
  if (end != value.c_str() + value.size() || !std::isfinite(number)) return std::nan("");
  return number;
}

const OptionRow* optionNamed(std::string_view name) {
  for (const OptionRow& row : options) {
    if (sameName(name, row.name)) return &row;
  }
  return nullptr;
}

std::string rangeText(const OptionRow& row) {
  return row.wholeNumber && row.highest - row.lowest == 1
             ? optionValueText(row.lowest) + " or " + optionValueText(row.highest)
             : optionValueText(row.lowest) + " to " + optionValueText(row.highest);
}

}  // namespace

std::span<const OptionRow> optionTable() { return options; }

std::string optionValueText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string optionValueOf(const OptionRow& option, const FrontPanel& panel) {
  return option.getText != nullptr ? option.getText(panel) : optionValueText(option.get(panel));
}

bool isDefault(const OptionRow& option, const FrontPanel& panel) {
  return option.getText != nullptr ? option.getText(panel).empty()
                                   : option.get(panel) == option.byDefault;
}

OptionLine readOptionLine(std::string_view line) {
  OptionLine read;
  std::string_view content = trimmed(line);
  if (content.empty()) return read;
  std::size_t equals = content.find('=');
  if (equals == std::string_view::npos) {
    read.problem = "is not of the form NAME=value";
    return read;
  }
  const OptionRow* row = optionNamed(trimmed(content.substr(0, equals)));
  if (row == nullptr) {
    read.problem = "names no option the program knows";
    return read;
  }
  std::string_view text = trimmed(content.substr(equals + 1));
  if (row->textProblem != nullptr) {
    read.problem = row->textProblem(text);
    if (read.problem.empty()) {
      read.option = row;
      read.text = std::string(text);
    }
    return read;
  }
  double value = wholeTextAsNumber(text);
  bool fits = !std::isnan(value) && value >= row->lowest && value <= row->highest &&
              (!row->wholeNumber || value == std::floor(value));
  if (!fits) {
    read.problem = "has a value other than " + rangeText(*row);
    return read;
  }
  read.option = row;
  read.value = value;
  return read;
}

std::string takeOptionLine(FrontPanel& panel, std::string_view line) {
  OptionLine read = readOptionLine(line);
  if (read.option != nullptr && read.option->setText != nullptr) {
    read.option->setText(panel, read.text);
  } else if (read.option != nullptr) {
    read.option->set(panel, read.value);
  }
  return read.problem;
}
