#include "platform/text.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int clampToInt(double number) {
  if (std::isnan(number)) return 0;
  if (number >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (number <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(number);
}

}  // namespace

double numberOf(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  double value = 0.0;
  while (i < text.size() && isDigit(text[i])) {
    value = value * 10.0 + (text[i] - '0');
    ++i;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < text.size() && isDigit(text[i])) {
      value += (text[i] - '0') * scale;
      scale /= 10.0;
      ++i;
    }
  }
  return negative ? -value : value;
}

std::string textOf(double number) {
  char buffer[64];
  if (number == std::floor(number) && std::fabs(number) < 1e18) {
    std::snprintf(buffer, sizeof buffer, " %lld", static_cast<long long>(number));
  } else {
    std::snprintf(buffer, sizeof buffer, " %.2f", number);
  }
  return buffer;
}

int roundToInt(double number) { return clampToInt(std::nearbyint(number)); }

int truncateToInt(double number) { return clampToInt(std::trunc(number)); }

std::string firstChars(std::string_view text, int count) {
  if (count <= 0) return {};
  return std::string(text.substr(0, static_cast<std::size_t>(count)));
}

std::string lastChars(std::string_view text, int count) {
  if (count <= 0) return {};
  auto n = static_cast<std::size_t>(count);
  if (n >= text.size()) return std::string(text);
  return std::string(text.substr(text.size() - n));
}

std::string middleChars(std::string_view text, int position, int count) {
  if (position < 1) position = 1;
  auto start = static_cast<std::size_t>(position - 1);
  if (start >= text.size()) return {};
  if (count < 0) return std::string(text.substr(start));
  return std::string(text.substr(start, static_cast<std::size_t>(count)));
}

int findText(std::string_view haystack, std::string_view needle, int start) {
  if (haystack.empty() || needle.empty()) return 0;
  if (start < 1) start = 1;
  auto found = haystack.find(needle, static_cast<std::size_t>(start - 1));
  return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}

std::string blanks(int count) { return count <= 0 ? std::string() : std::string(count, ' '); }

std::string charText(int code) { return std::string(1, static_cast<char>(code)); }

std::string zeroPadded(long long value, int width) {
  std::string digits = std::to_string(value < 0 ? 0 : value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}
