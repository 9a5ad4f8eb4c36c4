// The program's one window on Win32: a plain top-level window with its close
// box, a retained image as large as the screen that all text is drawn into
// and the window is repainted from, key messages delivered as the virtual-key
// codes they carry, a timer whose ticks never pile up, and the close request.
//
// The window lives on a thread of its own, which only pumps its messages and
// turns them into events for the program. So the system's modal loops (the
// window being moved, the system menu) never stop the poll, and the end of a
// Windows session can be held until the program has ended in order: Windows
// ends a process as soon as its window has answered WM_ENDSESSION, and the
// program's end (the radio switched off, the memory saved) runs after its
// main loop, on the program's thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/tick_timers.h"
#include "platform/window_title.h"
#include "platform/windows/window_provider.h"

class Win32Window {
 public:
  Win32Window();
  // The window's thread, when it holds the end of the session, is let go
  // here: the program has ended by then.
  ~Win32Window();
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  bool openWindow(int left, int top, int width, int height, const std::string& title,
                  EventHandler handler);
  void setTextPosition(int x, int y);
  void printText(std::string_view text);
  void setFont(const std::string& face, int points, int weight);
  void startTimer(int intervalMs, int id);
  void stopTimer(int id);
  void waitEvents();
  void closeWindow();
  // The window's title carries the text printed there (platform.h).
  void showInTitle(int x, int y) { title_.follow(x, y); }
  // The window's UI Automation provider, made at the first call with these
  // functions and answered to UI Automation from then on (null while the
  // window is not open); the window keeps its reference.
  WindowProvider* provider(const UiaCalls& calls);

  // True while a key-down that is not a held key's repeat waits to be
  // delivered.
  bool keyDownWaiting();
  // True while the close request (the close box, Alt+F4, the end of the
  // session) waits to be delivered.
  bool closeRequestWaiting();

  bool isOpen() const { return open_; }
  HWND handle() const { return window_; }
  int textX() const { return textX_; }
  int textY() const { return textY_; }

 private:
  using Clock = std::chrono::steady_clock;

  struct Placement {
    int left, top, width, height;
    std::string title;
  };

  // --- on the window's thread ---
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void runWindow(const Placement& placement);
  bool createWindow(const Placement& placement);
  void repaint(HWND window);
  void holdEndOfSession();
  void post(int code, int param, bool freshKey = false);
  LRESULT answerAutomation(HWND window, WPARAM wParam, LPARAM lParam);

  // --- on the program's thread ---
  RECT eraseCovered(const RECT& area);
  bool deliverPosted();
  DWORD msUntilNextTick() const;
  void releaseFineTimer();
  void freeImage();

  std::thread thread_;
  HANDLE posted_ = nullptr;        // set when the window thread has posted events
  HANDLE created_ = nullptr;       // set when the window thread has tried to open
  HANDLE programEnded_ = nullptr;  // set by the destructor
  std::atomic<HWND> window_{nullptr};
  std::atomic<bool> open_{false};
  std::atomic<bool> sessionEnding_{false};

  std::mutex postedMutex_;
  struct Posted {
    int code;
    int param;
    bool freshKey;  // a key-down that is no repeat
  };
  std::deque<Posted> postedEvents_;

  // The retained image, drawn into by the program's thread and copied to the
  // screen by the window's thread.
  std::mutex imageMutex_;
  HDC image_ = nullptr;
  HBITMAP imageBitmap_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  HFONT font_ = nullptr;
  HGDIOBJ originalFont_ = nullptr;
  int pixelsPerInch_ = 96;

  // The areas of the texts the image shows, each untouched since it was
  // printed.
  std::vector<RECT> shown_;
  EventHandler handler_;
  int textX_ = 0;
  int textY_ = 0;
  TickTimers timers_;
  bool fineTimer_ = false;       // the system's timer resolution raised to 1 ms

  // The title, composed on the program's thread and set by the window's.
  WindowTitle title_;
  std::mutex titleMutex_;
  std::string titleText_;

  std::atomic<WindowProvider*> provider_{nullptr};
  std::atomic<UiaCalls::ReturnProvider> returnProvider_{nullptr};
};
