#include "command_forms.h"

#include <regex>

namespace {

const std::regex& commandForm() {
  static const std::regex form(
      "(FA|FA[0-9]{9}|SM0|RM6|MD0[1235B]|PC0[0-9]{3}|TX[01]|AC00[12]|BC0[01]|PR0[12]|"
      "PA0[01]|RA0[01]|NB0[01]|NR0[01]|AG0[0-9]{3}|RG0[0-9]{3}|SH0[0-9]{2}|PS[01]|Power on);");
  return form;
}

}  // namespace

bool isProgramCommand(std::string_view text) {
  return std::regex_match(text.begin(), text.end(), commandForm());
}

std::vector<std::string> splitCommands(std::string_view bytes) {
  std::vector<std::string> list;
  std::string current;
  for (char c : bytes) {
    current.push_back(c);
    if (c == ';') {
      list.push_back(current);
      current.clear();
    }
  }
  if (!current.empty()) list.push_back(current);
  return list;
}
