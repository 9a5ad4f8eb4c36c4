// Texts and the number conventions that the configuration, the radio's
// replies and the spoken numbers all share.
#pragma once

#include <algorithm>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

// A text variable: at most Capacity characters. Assigning or appending a
// longer text keeps the first Capacity characters; nothing ever overflows.
template <std::size_t Capacity>
class BasicText {
 public:
  static constexpr std::size_t capacity = Capacity;

  BasicText() = default;
  explicit BasicText(std::string_view s) { assign(s); }

  BasicText& operator=(std::string_view s) {
    assign(s);
    return *this;
  }
  BasicText& operator=(const char* s) { return *this = std::string_view(s); }
  BasicText& operator=(const std::string& s) { return *this = std::string_view(s); }

  BasicText& operator+=(std::string_view s) {
    value_.append(s.substr(0, Capacity - value_.size()));
    return *this;
  }

  const std::string& str() const { return value_; }
  operator std::string_view() const { return value_; }  // NOLINT(google-explicit-constructor)
  const char* data() const { return value_.data(); }
  int length() const { return static_cast<int>(value_.size()); }
  std::size_t size() const { return value_.size(); }
  bool empty() const { return value_.empty(); }
  char operator[](std::size_t i) const { return value_[i]; }

  friend bool operator==(const BasicText& a, const BasicText& b) { return a.value_ == b.value_; }
  friend bool operator==(const BasicText& a, std::string_view b) { return a.value_ == b; }
  friend std::string operator+(const BasicText& a, std::string_view b) {
    return a.value_ + std::string(b);
  }
  friend std::string operator+(std::string_view a, const BasicText& b) {
    return std::string(a) + b.value_;
  }
  friend std::string operator+(const BasicText& a, const BasicText& b) { return a.value_ + b.value_; }
  friend std::ostream& operator<<(std::ostream& out, const BasicText& t) {
    return out << '"' << t.value_ << '"';
  }

 private:
  // Built fresh rather than assigned in place: GCC 12 at -O3 warns
  // wrongly (-Wrestrict) about the in-place copy of a short text.
  void assign(std::string_view s) { value_ = std::string(s.data(), std::min(s.size(), Capacity)); }
  std::string value_;
};

// Every text variable of the program holds at most 254 characters.
using Text = BasicText<254>;

// The number of a text: blanks and tabs skipped, an optional "-", digits, an
// optional "." with fraction digits; the first other character ends it.
// No digits give 0; there is no "+" and no exponent.
double numberOf(std::string_view text);

// The text of a number: a leading blank, then the number; whole numbers
// plainly, any other number with two decimals (" 7", " 7.50", " -3").
std::string textOf(double number);

// A real number stored into an integer variable: nearest, halves to even,
// kept within the 32-bit range.
int roundToInt(double number);
// A configuration number stored into an integer: the fraction dropped.
int truncateToInt(double number);

// Cuts, positions counting from 1. A negative count counts as 0.
std::string firstChars(std::string_view text, int count);
std::string lastChars(std::string_view text, int count);
// From position p (below 1 counts as 1; beyond the end gives empty text);
// a negative count, or one reaching past the end, gives the rest.
std::string middleChars(std::string_view text, int position, int count = -1);

// Position of the first occurrence of needle at or after start; 0 when there
// is none or either text is empty.
int findText(std::string_view haystack, std::string_view needle, int start = 1);

std::string blanks(int count);
std::string charText(int code);

// The decimal digits of a non-negative value, zero-padded on the left to
// width characters (CAT parameters are fixed-width digit fields).
std::string zeroPadded(long long value, int width);
