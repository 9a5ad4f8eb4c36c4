// The program's one window on SDL2: a retained image that all text is drawn
// into and the window is repainted from, key events as Windows virtual-key
// codes, a timer whose ticks never pile up, and the close request.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop/x_connection.h"
#include "platform/platform.h"
#include "platform/tick_timers.h"
#include "platform/window_title.h"

class SdlWindow {
 public:
  SdlWindow() = default;
  ~SdlWindow();
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  bool openWindow(int left, int top, int width, int height, const std::string& title,
                  EventHandler handler);
  void setTextPosition(int x, int y);
  void printText(std::string_view text);
  void setFont(const std::string& face, int points, int weight);
  void startTimer(int intervalMs, int id);
  void stopTimer(int id);
  void waitEvents();
  void closeWindow();
  void showInTitle(int x, int y) { title_.follow(x, y); }
  // At the program's end: as closeWindow, but the window itself is left for
  // the end of the process to take away with the connection (see there).
  void closeForExit();
  // Sleeps until a key-down (not a held key's repeat) or the end waits to
  // be delivered (true), the descriptor is readable or the time has come
  // (false). The key, or the end, stays queued for the next waitEvents.
  bool waitForKeyOrEnd(int descriptor, std::chrono::steady_clock::time_point until);
  // As waitForKeyOrEnd, but only the end counts.
  bool waitForEnd(int descriptor, std::chrono::steady_clock::time_point until);

  bool isOpen() const { return window_ != nullptr; }
  int textX() const { return textX_; }
  int textY() const { return textY_; }
  // The window's X11 id (0 when not open or not on X11), for tools that find
  // the window from outside.
  unsigned long nativeId() const;

 private:
  using Clock = std::chrono::steady_clock;

  // A text as a print left it: in which font, and the area it covers.
  struct Shown {
    std::string text;
    int font = 0;
    SDL_Rect area{};
  };

  const Shown* alreadyShown(const std::string& text) const;
  SDL_Rect eraseCovered(const SDL_Rect& area);
  void remember(const std::string& text, const SDL_Rect& area);
  void followInTitle(const std::string& line, int endX);
  bool endAsked();
  void deliverEnd();
  bool endWaiting() const;
  bool keyDownQueued() const;
  bool waitForStop(int descriptor, Clock::time_point until, bool keysStop);
  void release(bool destroy);
  bool waitForEvent(SDL_Event& e);
  bool waitOnXServer(SDL_Event& e, Clock::time_point due);
  void pumpEvents();
  void deliver(const SDL_Event& e);
  void deliverKey(const SDL_KeyboardEvent& key);
  void showArea(const SDL_Rect& area);

  SDL_Window* window_ = nullptr;
  SDL_Surface* image_ = nullptr;  // as large as the display, white at first
  TTF_Font* font_ = nullptr;
  int fontNumber_ = 0;  // counts the fonts set, to tell them apart
  // The texts the image shows, each untouched since it was printed. The
  // readings are printed again at every poll, mostly unchanged; such a print
  // need not render the text again.
  std::vector<Shown> shown_;
  EventHandler handler_;
  int textX_ = 0;
  int textY_ = 0;
  TickTimers timers_;
  XConnection xServer_{nullptr};
  bool drawnSincePump_ = false;
  WindowTitle title_;
  bool endDelivered_ = false;  // the close request has been handed to the program
};
