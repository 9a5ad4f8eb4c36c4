// The Win32 window, as Windows (here Wine on an X server) shows it and as its
// messages reach the program's handler.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/virtual_keys.h"
#include "platform/windows/win32_window.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Event = std::pair<int, int>;  // code, parameter

constexpr const char* title = "*** Quelmo Front Panel v1.9 ***";
constexpr int workTimer = 9;  // keeps waitEvents from sleeping in the tests

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window->openWindow(350, 100, 950, 500, title, [this](int code, int param) {
      if (code != event::timerTick || param != workTimer) events.emplace_back(code, param);
      if (onEvent) onEvent(code, param);
    }));
    window->startTimer(10, workTimer);
  }

  HWND handle() const { return window->handle(); }

  void pumpFor(std::chrono::milliseconds span) {
    auto end = Clock::now() + span;
    while (Clock::now() < end) window->waitEvents();
  }

  // Dark pixels of the window's client area as it is on the screen, within
  // x0 <= x < x1, y0 <= y < y1, once the window has repainted.
  int darkPixels(int x0, int y0, int x1, int y1) {
    pumpFor(100ms);
    return Screenshot(handle()).darkPixels(x0, y0, x1, y1);
  }

  // The client area as 32-bit pixels, copied from the screen.
  class Screenshot {
   public:
    explicit Screenshot(HWND window) {
      RECT client{};
      GetClientRect(window, &client);
      width_ = client.right;
      height_ = client.bottom;
      HDC screen = GetDC(window);
      HDC copy = CreateCompatibleDC(screen);
      HBITMAP bitmap = CreateCompatibleBitmap(screen, width_, height_);
      HGDIOBJ old = SelectObject(copy, bitmap);
      BitBlt(copy, 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
      SelectObject(copy, old);
      BITMAPINFO format{};
      format.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
      pixels_.resize(static_cast<std::size_t>(width_) * height_);
      GetDIBits(copy, bitmap, 0, height_, pixels_.data(), &format, DIB_RGB_COLORS);
      DeleteObject(bitmap);
      DeleteDC(copy);
      ReleaseDC(window, screen);
    }
    int darkPixels(int x0, int y0, int x1, int y1) const {
      int count = 0;
      for (int y = std::max(0, y0); y < std::min(y1, height_); ++y) {
        for (int x = std::max(0, x0); x < std::min(x1, width_); ++x) {
          std::uint32_t p = pixels_[static_cast<std::size_t>(y) * width_ + x];
          if ((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF) < 3 * 128) ++count;
        }
      }
      return count;
    }

   private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
  };

  std::unique_ptr<Win32Window> window = std::make_unique<Win32Window>();
  std::vector<Event> events;
  std::function<void(int, int)> onEvent;
};

TEST_F(WindowTest, OpensAtItsPlaceWithItsTitleAndAFixedFrame) {
  RECT frame{};
  ASSERT_TRUE(GetWindowRect(handle(), &frame));
  EXPECT_EQ(frame.left, 350);
  EXPECT_EQ(frame.top, 100);
  EXPECT_EQ(frame.right - frame.left, 950);
  EXPECT_EQ(frame.bottom - frame.top, 500);
  char text[64] = {};
  GetWindowTextA(handle(), text, sizeof text);
  EXPECT_STREQ(text, title);
  auto style = static_cast<DWORD>(GetWindowLongA(handle(), GWL_STYLE));
  for (DWORD wanted : {WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX}) {
    EXPECT_EQ(style & wanted, wanted) << std::hex << wanted;
  }
  EXPECT_EQ(style & WS_THICKFRAME, 0u) << "a sizing border";
  RECT client{};
  GetClientRect(handle(), &client);
  EXPECT_EQ(darkPixels(0, 0, client.right, client.bottom), 0);  // white all over
}

TEST_F(WindowTest, TextIsDrawnAtItsPositionAndTheNextContinuesTheLine) {
  window->setFont("Ariel", 20, 700);
  window->setTextPosition(100, 200);
  window->printText("S9");
  int afterS9 = window->textX();
  window->printText("+\r\n");  // the line end is neither drawn nor moves the position
  int afterPlus = window->textX();
  EXPECT_GT(afterS9, 110);
  EXPECT_GT(afterPlus, afterS9);
  EXPECT_EQ(window->textY(), 200);
  EXPECT_GT(darkPixels(100, 200, afterS9, 230), 20);
  EXPECT_GT(darkPixels(afterS9, 200, afterPlus, 230), 5);
  EXPECT_EQ(darkPixels(0, 190, 100, 240) + darkPixels(afterPlus + 1, 190, 950, 240), 0);
}

TEST_F(WindowTest, TextPrintedOverAnotherReplacesItWholeAndStaysOnTheScreen) {
  window->setTextPosition(400, 300);
  window->printText("MMMM  MM");
  int oldEnd = window->textX();
  window->printText("A");  // beside it, not over it
  int besideEnd = window->textX();
  window->setTextPosition(400, 300);
  window->printText("  ");
  EXPECT_EQ(darkPixels(400, 300, oldEnd, 330), 0);
  EXPECT_GT(darkPixels(oldEnd, 300, besideEnd, 330), 5);

  // The S-meter's label in the readings' font: "S9" and "+", then "S9" and
  // two blanks.
  window->setFont("Ariel", 50, 700);
  window->setTextPosition(750, 45);
  window->printText("S9");
  int afterS9 = window->textX();
  window->printText("+");
  int afterPlus = window->textX();
  pumpFor(100ms);
  Screenshot shot(handle());
  ASSERT_GT(shot.darkPixels(afterS9, 45, afterPlus, 130), 50);
  int tallRows = 0;
  for (int y = 45; y < 150; ++y) tallRows += shot.darkPixels(750, y, afterS9, y + 1) > 0 ? 1 : 0;
  EXPECT_GT(tallRows, 40);  // 50 points at 96 pixels an inch is 67 pixels
  window->setTextPosition(750, 45);
  window->printText("S9");
  window->printText("  ");
  EXPECT_EQ(darkPixels(afterS9, 45, afterPlus, 130), 0);

  // What the image holds survives the window being painted over.
  int ink = darkPixels(750, 45, afterS9, 130);
  RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(darkPixels(750, 45, afterS9, 130), ink);
}

// Windows' messages, as a key, Alt with a key, the system menu or the close
// box send them, and the events the handler receives for them.
TEST_F(WindowTest, MessagesReachTheHandlerAsItsEvents) {
  constexpr LPARAM altHeld = 1 << 29;
  const std::vector<std::pair<std::vector<UINT>, std::vector<Event>>> cases = {
      {{WM_KEYDOWN, VK_PRIOR, WM_KEYUP, VK_PRIOR},
       {{event::keyDown, key::pageUp}, {event::keyUp, key::pageUp}}},
      {{WM_KEYDOWN, 'A', WM_KEYDOWN, '5', WM_KEYDOWN, VK_F1, WM_KEYDOWN, VK_OEM_PERIOD},
       {{event::keyDown, 'A'},
        {event::keyDown, '5'},
        {event::keyDown, key::f1},
        {event::keyDown, key::point}}},
      {{WM_SYSKEYDOWN, 'F', WM_SYSKEYUP, 'F'}, {{260, 'F'}, {event::keyUp, 'F'}}},
      {{WM_CLOSE, 0}, {{event::closeRequest, 0}}},
  };
  for (const auto& [messages, expected] : cases) {
    events.clear();
    for (std::size_t i = 0; i < messages.size(); i += 2) {
      LPARAM extra = messages[i] == WM_SYSKEYDOWN ? altHeld : 0;
      ASSERT_TRUE(PostMessageA(handle(), messages[i], messages[i + 1], extra));
    }
    pumpFor(150ms);
    EXPECT_EQ(events, expected) << "message " << messages[0];
  }
  // Alt+F4 reaches Windows' own handling, which makes it the close request.
  events.clear();
  PostMessageA(handle(), WM_SYSKEYDOWN, VK_F4, altHeld);
  pumpFor(150ms);
  EXPECT_EQ(events, (std::vector<Event>{{260, 115}, {32770, 0}}));
  // Only the program closes its window.
  EXPECT_TRUE(IsWindow(handle()));
  EXPECT_TRUE(window->isOpen());
}

// A close request not yet delivered is seen, so the word being said stops
// for it; once delivered it waits no more.
TEST_F(WindowTest, CloseRequestIsSeenWaitingBeforeItIsDelivered) {
  ASSERT_TRUE(PostMessageA(handle(), WM_CLOSE, 0, 0));
  auto until = Clock::now() + 2s;
  while (!window->closeRequestWaiting() && Clock::now() < until) Sleep(5);
  EXPECT_TRUE(window->closeRequestWaiting());
  EXPECT_FALSE(window->keyDownWaiting());
  pumpFor(50ms);
  EXPECT_FALSE(window->closeRequestWaiting());
  EXPECT_EQ(events, (std::vector<Event>{{event::closeRequest, 0}}));
}

TEST_F(WindowTest, TicksKeepTheirPaceAndABlockingHandlerIsFollowedByOneTick) {
  window->stopTimer(workTimer);
  std::vector<Clock::time_point> ticks;
  onEvent = [&ticks](int code, int) {
    if (code == event::timerTick) ticks.push_back(Clock::now());
  };
  window->startTimer(50, 1);
  auto start = Clock::now();
  while (Clock::now() < start + 1s) window->waitEvents();
  EXPECT_GE(ticks.size(), 19u);
  EXPECT_LE(ticks.size(), 21u);

  ticks.clear();
  window->waitEvents();
  std::this_thread::sleep_for(400ms);  // a handler speaking a phrase
  window->waitEvents();
  window->waitEvents();
  ASSERT_EQ(ticks.size(), 3u);
  EXPECT_LT(ticks[1] - ticks[0], 450ms);  // the overdue tick at once, alone
  EXPECT_GT(ticks[2] - ticks[1], 10ms);   // and the next at its own time
}

// Windows ends a process as soon as its window has answered WM_ENDSESSION;
// the answer waits until the program has ended in order.
TEST_F(WindowTest, EndOfSessionIsHeldUntilTheProgramHasEnded) {
  HWND target = handle();
  std::atomic<bool> answered{false};
  LRESULT agreed = 0;
  std::thread windows([&] {
    agreed = SendMessageA(target, WM_QUERYENDSESSION, 0, 0);
    SendMessageA(target, WM_ENDSESSION, TRUE, 0);
    answered = true;
  });
  pumpFor(300ms);
  EXPECT_EQ(agreed, TRUE);
  EXPECT_EQ(events, (std::vector<Event>{{32770, 0}}));
  auto start = Clock::now();
  window->closeWindow();  // the program's end: its window first
  EXPECT_LT(Clock::now() - start, 500ms);
  std::this_thread::sleep_for(200ms);  // then the radio switched off
  EXPECT_FALSE(answered);
  window.reset();  // the program has ended
  windows.join();
  EXPECT_TRUE(answered);
}

TEST_F(WindowTest, AClosedWindowIsGoneAndCanBeOpenedAgain) {
  HWND first = handle();
  window->closeWindow();
  EXPECT_FALSE(IsWindow(first));
  auto start = Clock::now();
  window->waitEvents();  // returns at once: nothing can come any more
  window->printText("nothing");
  EXPECT_LT(Clock::now() - start, 100ms);
  EXPECT_TRUE(events.empty());
  // Opened again where it would reach past the screen's edges, it is moved
  // as little as it takes to lie on the screen.
  ASSERT_TRUE(window->openWindow(5000, 5000, 950, 500, "again", [](int, int) {}));
  EXPECT_TRUE(IsWindow(handle()));
  RECT screen{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
  RECT frame{};
  GetWindowRect(handle(), &frame);
  EXPECT_EQ(frame.right, screen.right);
  EXPECT_EQ(frame.bottom, screen.bottom);
  EXPECT_EQ(frame.right - frame.left, 950);
}

}  // namespace
