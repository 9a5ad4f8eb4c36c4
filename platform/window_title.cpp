#include "platform/window_title.h"

#include <utility>

namespace {

// The blanks that wipe a longer text before ("S7  " where "S9+" stood) are
// no part of what the window shows.
std::string_view trimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

void WindowTitle::open(std::string title) {
  base_ = std::move(title);
  places_.clear();
}

void WindowTitle::follow(int x, int y) { places_.push_back(Place{x, y, x, {}}); }

bool WindowTitle::printed(int x, int y, int endX, std::string_view text) {
  std::string before = this->text();
  for (Place& place : places_) {
    if (place.y != y) continue;
    if (place.x == x) {
      place.text = text;
    } else if (place.endX == x && place.x < x) {
      place.text += text;
    } else {
      continue;
    }
    place.endX = endX;
    break;
  }
  return this->text() != before;
}

std::string WindowTitle::text() const {
  std::string readings;
  for (const Place& place : places_) {
    std::string_view shown = trimmed(place.text);
    if (shown.empty()) continue;
    if (!readings.empty()) readings += ' ';
    readings += shown;
  }
  return readings.empty() ? base_ : readings + " - " + base_;
}
