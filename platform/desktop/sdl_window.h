// The program's one window on SDL2: a retained image that all text is drawn
// into and the window is repainted from, key events as Windows virtual-key
// codes, a timer whose ticks never pile up, and the close request.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/platform.h"

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

  bool isOpen() const { return window_ != nullptr; }
  int textX() const { return textX_; }
  int textY() const { return textY_; }
  // The window's X11 id (0 when not open or not on X11), for tools that find
  // the window from outside.
  unsigned long nativeId() const;

  // A timer's state, shared with SDL's timer thread. Kept for the window's
  // whole life, so a callback already running when the timer stops never
  // touches freed memory.
  struct Timer {
    SDL_TimerID sdlId = 0;
    int id = 0;
    Uint32 eventType = 0;
    std::atomic<bool> tickWaiting{false};
    std::atomic<bool> running{false};
  };

 private:
  void deliver(const SDL_Event& e);
  void deliverKey(const SDL_KeyboardEvent& key);
  void showArea(const SDL_Rect& area);
  void stopAllTimers();

  SDL_Window* window_ = nullptr;
  SDL_Surface* image_ = nullptr;  // as large as the display, white at first
  TTF_Font* font_ = nullptr;
  EventHandler handler_;
  int textX_ = 0;
  int textY_ = 0;
  Uint32 tickEventType_ = 0;
  std::map<int, Timer> timers_;
};
