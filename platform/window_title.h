// The window's title as a screen reader and a braille display read it: the
// texts the window shows at a few places (the readings), in the order the
// places were named, then the title the window opened with. Each window
// feeds it every text it prints and sets its title when it changes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class WindowTitle {
 public:
  // The title the window opened with; the places are forgotten.
  void open(std::string title);
  void follow(int x, int y);
  // A text printed from (x, y) to endX: it replaces the text at its place,
  // or continues the one that ends where it starts ("S9" and then "+").
  // True when the title changed.
  bool printed(int x, int y, int endX, std::string_view text);
  // "USB 14.200000 S5 - " and the title it opened with; that title alone
  // while none of the places shows a text.
  std::string text() const;

 private:
  struct Place {
    int x;
    int y;
    int endX;
    std::string text;
  };
  std::string base_;
  std::vector<Place> places_;
};
