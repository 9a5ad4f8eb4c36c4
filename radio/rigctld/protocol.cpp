#include "radio/rigctld/protocol.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/text.h"

namespace rigctld {

namespace {

using Kind = Operation::Kind;

// The program's gains (0..255) as Hamlib's levels (0..1).
constexpr int highestGain = 255;

constexpr std::string_view powerScaleName = "mW2power";

// Hamlib's modes the program has a word for, and its variants of them.
struct ModeName {
  std::string_view name;
  RadioMode mode;
};
constexpr std::array<ModeName, 11> modeNames = {{
    {"LSB", {1, 0}},
    {"USB", {2, 0}},
    {"CW", {3, 0}},
    {"AM", {4, 0}},
    {"FM", {5, 0}},
    {"CWR", {3, 1}},  // CW on the lower side
    {"CWN", {3, 2}},  // narrow CW
    {"AMN", {4, 1}},  // narrow AM
    {"SAM", {4, 2}},  // synchronous AM
    {"AMS", {4, 3}},  // AM with a synchronous detector
    {"FMN", {5, 1}},  // narrow FM
}};

std::string number(long long value) { return std::to_string(value); }

// value / whole with six decimals, 0..1, spelled the same in every locale.
std::string fraction(int value, int whole) {
  long long millionths =
      (static_cast<long long>(std::clamp(value, 0, whole)) * 1'000'000 + whole / 2) / whole;
  return number(millionths / 1'000'000) + "." +
         zeroPadded(static_cast<int>(millionths % 1'000'000), 6);
}

Command setLevel(std::string_view name, const std::string& value) {
  return {"L " + std::string(name) + " " + value, "set_level " + std::string(name)};
}

Command setFunction(std::string_view name, bool on) {
  return {"U " + std::string(name) + (on ? " 1" : " 0"), "set_func " + std::string(name)};
}

Command question(Question asked) {
  switch (asked) {
    case Question::frequency:
      return {"f", "get_freq"};
    case Question::mode:
      return {"m", "get_mode"};
    case Question::sMeter:
      return {"l STRENGTH", "get_level STRENGTH"};
    case Question::swr:
      return {"l SWR", "get_level SWR"};
    case Question::identity:
      break;
  }
  return capabilitiesQuestion();
}

// Hamlib's mode with a passband in hertz: -1 keeps the radio's own.
std::vector<Command> setMode(std::string_view mode, int passbandHz) {
  if (mode.empty()) return {};
  return {{"M " + std::string(mode) + " " + number(passbandHz), "set_mode"}};
}

std::vector<Command> levelCommands(const Operation& operation, const Setting& setting) {
  switch (operation.level) {
    case Level::afGain:
    case Level::rfGain:
      return {setLevel(hamlibName(operation.level), fraction(operation.value, highestGain))};
    case Level::power:
      if (setting.frequencyHz <= 0 || setting.modeName.empty()) return {};
      return {{"\\mW2power " + number(operation.value * 1000LL) + " " +
                   number(setting.frequencyHz) + " " + setting.modeName,
               std::string(powerScaleName)}};
    case Level::width:
      break;
  }
  return setMode(setting.modeName, setting.widthHz);
}

// A function set in decibels is on at the radio's first step, off at 0.
std::vector<Command> functionCommands(const Operation& operation, const Setting& setting) {
  bool on = operation.value == 1;
  std::string_view name = hamlibName(operation.function);
  if (!setInDecibels(operation.function)) return {setFunction(name, on)};
  int db = operation.function == Function::preamp ? setting.preampDb : setting.attenuatorDb;
  return {setLevel(name, number(on ? db : 0))};
}

bool isNameCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

// The whole text as a number: digits with an optional "-" and fraction.
std::optional<double> numberIn(std::string_view text) {
  text = trimmed(text);
  std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
  if (digits.empty() || digits.find_first_not_of("0123456789.") != std::string_view::npos ||
      !std::isdigit(static_cast<unsigned char>(digits.front()))) {
    return std::nullopt;
  }
  return numberOf(text);
}

Reading reading(Reading::Kind kind, const Reply& reply) {
  Reading read;
  read.kind = kind;
  read.reply = reply.text;
  return read;
}

}  // namespace

std::string_view hamlibName(Function function) {
  switch (function) {
    case Function::preamp:
      return "PREAMP";
    case Function::attenuator:
      return "ATT";
    case Function::noiseBlanker:
      return "NB";
    case Function::noiseReduction:
      return "NR";
    case Function::notch:
      return "ANF";
    case Function::processor:
      break;
  }
  return "COMP";
}

bool setInDecibels(Function function) {
  return function == Function::preamp || function == Function::attenuator;
}

std::string_view hamlibName(Level level) {
  switch (level) {
    case Level::afGain:
      return "AF";
    case Level::rfGain:
      return "RF";
    case Level::power:
      return "RFPOWER";
    case Level::width:
      break;
  }
  return "";
}

std::vector<Command> commandsOf(const Operation& operation, const Setting& setting) {
  bool on = operation.value == 1;
  switch (operation.kind) {
    case Kind::frequency:
      return {{"F " + number(operation.value), "set_freq"}};
    case Kind::mode:
      return setMode(modeName(operation.value), -1);
    case Kind::level:
      return levelCommands(operation, setting);
    case Kind::function:
      return functionCommands(operation, setting);
    case Kind::transmit:
      return {{on ? "T 1" : "T 0", "set_ptt"}};
    case Kind::tune:
      // The tuner goes in line and tunes; its tuning ends by itself.
      if (!on) return {};
      return {setFunction("TUNER", true), {"G TUNE", "vfo_op"}};
    case Kind::powerSwitch:
      return {{on ? "\\set_powerstat 1" : "\\set_powerstat 0", "set_powerstat"}};
    case Kind::wakeUp:
      return {};
    case Kind::question:
      break;
  }
  return {question(operation.question)};
}

Command powerCommand(std::string_view scale) { return setLevel("RFPOWER", std::string(scale)); }

bool isPowerScale(const Reply& reply) { return reply.name == powerScaleName; }
bool isPowerScale(const Command& command) { return command.name == powerScaleName; }

std::optional<std::string> powerScaleOf(const Reply& reply) {
  auto scale = valueOf(reply, "Power [0.0..1.0]");
  if (!scale || !numberIn(*scale)) return std::nullopt;
  return scale;
}

std::string powerScale(int watts, int maximumWatts) { return fraction(watts, maximumWatts); }

Command maximumPowerQuestion(const Setting& setting) {
  return {"\\power2mW 1 " + number(setting.frequencyHz) + " " + setting.modeName, "power2mW"};
}

std::optional<int> maximumWattsOf(const Reply& reply) {
  auto milliwatts = valueOf(reply, "Power mW");
  if (reply.name != "power2mW" || !milliwatts || !numberIn(*milliwatts)) return std::nullopt;
  return roundToInt(numberOf(*milliwatts) / 1000);
}

Command capabilitiesQuestion() { return {"\\dump_caps", "dump_caps"}; }

std::string_view modeName(int mode) {
  for (const ModeName& known : modeNames) {
    if (known.mode == RadioMode{mode, 0}) return known.name;
  }
  return "";
}

RadioMode radioModeOf(std::string_view name) {
  for (const ModeName& known : modeNames) {
    if (known.name == name) return known.mode;
  }
  return {};
}

std::optional<std::string> replyName(std::string_view firstLine) {
  std::size_t colon = firstLine.find(':');
  if (colon == 0 || colon == std::string_view::npos) return std::nullopt;
  std::string_view name = firstLine.substr(0, colon);
  if (!std::all_of(name.begin(), name.end(), isNameCharacter)) return std::nullopt;
  // A level's or a function's command names it first among its arguments.
  if (!name.ends_with("_level") && !name.ends_with("_func")) return std::string(name);
  std::string_view arguments = trimmed(firstLine.substr(colon + 1));
  std::string_view which = arguments.substr(0, arguments.find(' '));
  if (which.empty()) return std::nullopt;
  return std::string(name) + " " + std::string(which);
}

std::optional<int> resultOf(std::string_view line) {
  constexpr std::string_view head = "RPRT ";
  if (!line.starts_with(head)) return std::nullopt;
  std::optional<double> value = numberIn(line.substr(head.size()));
  if (!value) return std::nullopt;
  return roundToInt(*value);
}

std::optional<std::string> valueOf(const Reply& reply, std::string_view name) {
  for (const std::string& line : reply.values) {
    if (name.empty()) return std::string(trimmed(line));
    if (line.starts_with(name) && line.size() > name.size() && line[name.size()] == ':') {
      return std::string(trimmed(std::string_view(line).substr(name.size() + 1)));
    }
  }
  return std::nullopt;
}

Reading readingOf(Question question, const Reply& reply) {
  switch (question) {
    case Question::frequency: {
      auto value = valueOf(reply, "Frequency");
      std::optional<double> hz = value ? numberIn(*value) : std::nullopt;
      if (!hz || *hz < 0) break;
      Reading read = reading(Reading::Kind::frequency, reply);
      read.value = roundToInt(*hz);
      return read;
    }
    case Question::mode: {
      auto value = valueOf(reply, "Mode");
      if (!value || value->empty()) break;
      Reading read = reading(Reading::Kind::mode, reply);
      read.mode = radioModeOf(*value);
      return read;
    }
    case Question::sMeter: {
      auto value = valueOf(reply, "");
      std::optional<double> db = value ? numberIn(*value) : std::nullopt;
      if (!db) break;
      Reading read = reading(Reading::Kind::sMeter, reply);
      read.value = roundToInt(*db);  // Hamlib's STRENGTH: dB over S9
      return read;
    }
    case Question::swr: {
      auto value = valueOf(reply, "");
      std::optional<double> ratio = value ? numberIn(*value) : std::nullopt;
      if (!ratio) break;
      Reading read = reading(Reading::Kind::swr, reply);
      // A radio that is not transmitting reads 0: no mismatch to tell of.
      read.value = std::max(roundToInt(*ratio * 10), swrMatchedTenths);
      return read;
    }
    case Question::identity: {
      auto maker = valueOf(reply, "Mfg name");
      auto model = valueOf(reply, "Model name");
      if (!model) break;
      Reading read = reading(Reading::Kind::identity, reply);
      read.identity = maker ? *maker + " " + *model : *model;
      read.model = read.identity;  // whatever rigctld serves is a model the program speaks to
      auto number = valueOf(reply, "Caps dump for model");
      if (number && numberIn(*number)) read.value = roundToInt(numberOf(*number));
      // The whole dump is in the traffic log's RX= line; its model number
      // is what names the radio.
      read.reply = "Hamlib model " + std::to_string(read.value);
      return read;
    }
  }
  return reading(Reading::Kind::unknown, reply);
}

}  // namespace rigctld
