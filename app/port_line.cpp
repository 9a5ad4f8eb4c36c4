#include "app/port_line.h"

#include <algorithm>

#include "platform/text.h"

int trailingDigits(std::string_view line) {
  std::size_t lastOther = line.find_last_not_of("0123456789");
  return static_cast<int>(lastOther == std::string_view::npos ? line.size()
                                                              : line.size() - lastOther - 1);
}

int portOfLine(std::string_view line) {
  int digits = std::min(trailingDigits(line), 2);
  return truncateToInt(numberOf(lastChars(line, digits)));
}
