// The SDL window under a real X server: what a tool outside the program sees
// of it (title, place, size, pixels) and what real key events from xdotool
// deliver to the handler.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include "platform/desktop/sdl_window.h"

namespace {

using Clock = std::chrono::steady_clock;
using Event = std::pair<int, int>;  // code, parameter

constexpr int workTimer = 9;  // keeps waitEvents from sleeping in the tests

std::string output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) text += buffer;
    pclose(pipe);
  }
  return text;
}

// A screenshot of the window as the X server shows it, read from a PPM.
class Screenshot {
 public:
  explicit Screenshot(unsigned long window) {
    std::string file = "/tmp/quelmo-window-" + std::to_string(::getpid()) + ".ppm";
    std::string command = "import -window " + std::to_string(window) + " -depth 8 ppm:" + file;
    if (std::system(command.c_str()) != 0) return;
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> width_ >> height_ >> maxValue;
    in.get();
    pixels_.resize(static_cast<std::size_t>(width_) * height_ * 3);
    in.read(reinterpret_cast<char*>(pixels_.data()), static_cast<std::streamsize>(pixels_.size()));
    std::remove(file.c_str());
  }
  int width() const { return width_; }
  int height() const { return height_; }
  // Pixels darker than mid-grey within x0 <= x < x1, y0 <= y < y1.
  int darkPixels(int x0, int y0, int x1, int y1) const {
    int count = 0;
    for (int y = std::max(0, y0); y < std::min(y1, height_); ++y) {
      for (int x = std::max(0, x0); x < std::min(x1, width_); ++x) {
        const unsigned char* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 3];
        if (p[0] + p[1] + p[2] < 3 * 128) ++count;
      }
    }
    return count;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<unsigned char> pixels_;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.openWindow(350, 100, 950, 500, "*** Quelmo Front Panel v1.9 ***",
                                  [this](int code, int param) { events.emplace_back(code, param); }))
        << SDL_GetError();
    id = window.nativeId();
    ASSERT_NE(id, 0UL) << SDL_GetCurrentVideoDriver() << ": " << SDL_GetError();
    window.startTimer(10, workTimer);
    pumpFor(150);  // the window is mapped and drawn
  }

  // Delivers events for a while; the work timer's ticks are dropped.
  void pumpFor(int milliseconds) {
    auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < end) window.waitEvents();
    std::erase_if(events, [](const Event& e) { return e == Event{275, workTimer}; });
  }

  void sendKeys(const std::string& keys) {
    std::string command = "xdotool windowfocus --sync " + std::to_string(id) + " key --delay 5 " + keys;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    pumpFor(200);
  }

  // Lets the window idle on a slow timer, as the program does between its
  // ticks, with the keyboard focus already on it.
  void idleOnASlowTimer() {
    std::string focus = "xdotool windowfocus --sync " + std::to_string(id);
    ASSERT_EQ(std::system(focus.c_str()), 0);
    pumpFor(100);
    window.stopTimer(workTimer);
    window.startTimer(3000, 1);
    events.clear();
  }

  // Milliseconds until the handler has received an event of this code.
  double msUntil(int code) {
    auto start = Clock::now();
    auto seen = [&] { return std::any_of(events.begin(), events.end(), [code](const Event& e) {
                        return e.first == code;
                      }); };
    while (!seen() && Clock::now() < start + std::chrono::seconds(2)) window.waitEvents();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }

  std::vector<int> keyDowns() const {
    std::vector<int> codes;
    for (auto [code, param] : events) {
      if (code == 256) codes.push_back(param);
    }
    return codes;
  }

  SdlWindow window;
  unsigned long id = 0;
  std::vector<Event> events;
};

// The S-meter printed again as it stands, then what follows it changed:
// the window skips drawing the same text, but the title still follows.
TEST_F(WindowTest, TheTitleFollowsTheReadingsEvenWhereNothingIsDrawnAgain) {
  window.showInTitle(750, 45);
  window.setFont("Ariel", 50, 700);
  auto sMeter = [this](const char* after) {
    window.setTextPosition(750, 45);
    window.printText("S9");
    window.printText(after);
    pumpFor(50);
    return output("xwininfo -id " + std::to_string(id));
  };
  EXPECT_NE(sMeter("+").find("\"S9+ - *** Quelmo Front Panel v1.9 ***\""), std::string::npos);
  std::string info = sMeter("  ");
  EXPECT_NE(info.find("\"S9 - *** Quelmo Front Panel v1.9 ***\""), std::string::npos) << info;
}

TEST_F(WindowTest, OpensWithItsTitlePlaceAndSize) {
  std::string info = output("xwininfo -id " + std::to_string(id));
  EXPECT_NE(info.find("\"*** Quelmo Front Panel v1.9 ***\""), std::string::npos) << info;
  EXPECT_NE(info.find("Absolute upper-left X:  350"), std::string::npos) << info;
  EXPECT_NE(info.find("Absolute upper-left Y:  100"), std::string::npos) << info;
  EXPECT_NE(info.find("Width: 950"), std::string::npos) << info;
  EXPECT_NE(info.find("Height: 500"), std::string::npos) << info;
  Screenshot shot(id);
  ASSERT_EQ(shot.width(), 950);
  EXPECT_EQ(shot.darkPixels(0, 0, 950, 500), 0);  // white all over
}

TEST_F(WindowTest, TextAppearsAtItsPositionAndTheNextContinuesTheLine) {
  window.setTextPosition(100, 200);
  window.printText("S9");
  int afterS9 = window.textX();
  window.printText("+");
  int afterPlus = window.textX();
  EXPECT_GT(afterS9, 110);
  EXPECT_GT(afterPlus, afterS9);
  EXPECT_EQ(window.textY(), 200);

  Screenshot shot(id);
  EXPECT_GT(shot.darkPixels(100, 200, afterS9, 230), 20);       // "S9"
  EXPECT_GT(shot.darkPixels(afterS9, 200, afterPlus, 230), 5);  // "+" right after it
  EXPECT_EQ(shot.darkPixels(0, 0, 950, 198), 0);                // nothing above the line
  EXPECT_EQ(shot.darkPixels(0, 198, 99, 240), 0);               // nor left of it
  EXPECT_EQ(shot.darkPixels(afterPlus + 1, 198, 950, 240), 0);  // nor right of it
}

TEST_F(WindowTest, LineEndIsNeitherDrawnNorMovesThePosition) {
  window.setTextPosition(100, 50);
  window.printText("AB");
  int plainWidth = window.textX() - 100;
  window.setTextPosition(100, 100);
  window.printText("AB\r\n");
  EXPECT_EQ(window.textX() - 100, plainWidth);
}

// In a proportional font blanks are narrower than most characters: a text
// printed over a longer one must still leave nothing of it, while a text
// beside it stays.
TEST_F(WindowTest, TextPrintedOverAnotherReplacesItWhole) {
  window.setTextPosition(400, 300);
  window.printText("MMMM  MM");
  int oldEnd = window.textX();
  window.printText("A");  // beside it, not over it
  int besideEnd = window.textX();
  window.setTextPosition(400, 300);
  window.printText("  ");
  Screenshot shot(id);
  EXPECT_EQ(shot.darkPixels(400, 300, oldEnd, 330), 0);
  EXPECT_GT(shot.darkPixels(oldEnd, 300, besideEnd, 330), 5);

  // The S-meter's label: "S9" and "+", then "S9" and two blanks.
  window.setFont("Ariel", 50, 700);
  window.setTextPosition(750, 45);
  window.printText("S9");
  int afterS9 = window.textX();
  window.printText("+");
  int afterPlus = window.textX();
  ASSERT_GT(Screenshot(id).darkPixels(afterS9, 45, afterPlus, 130), 50);
  window.setTextPosition(750, 45);
  window.printText("S9");
  window.printText("  ");
  EXPECT_EQ(Screenshot(id).darkPixels(afterS9, 45, afterPlus, 130), 0);
}

// The readings are printed again at every poll; a reprint may skip drawing
// only while the window still shows that very text there.
TEST_F(WindowTest, ReprintedTextIsShownAfterAnythingDrawnOverIt) {
  window.setTextPosition(100, 200);
  window.printText("S9");
  int afterS9 = window.textX();
  int inkOfS9 = Screenshot(id).darkPixels(100, 200, afterS9, 240);
  ASSERT_GT(inkOfS9, 20);

  window.setTextPosition(100, 200);
  window.printText("S9");
  EXPECT_EQ(window.textX(), afterS9);  // the position moves as for any print

  window.setTextPosition(90, 200);  // blanks over it, from a different place
  window.printText("            ");
  EXPECT_EQ(Screenshot(id).darkPixels(100, 200, afterS9, 240), 0);
  window.setTextPosition(100, 200);
  window.printText("S9");
  EXPECT_EQ(Screenshot(id).darkPixels(100, 200, afterS9, 240), inkOfS9);

  window.setFont("Ariel", 50, 700);  // the same text in another font is drawn anew
  window.setTextPosition(100, 200);
  window.printText("S9");
  EXPECT_GT(window.textX() - 100, 2 * (afterS9 - 100));
  EXPECT_GT(Screenshot(id).darkPixels(100, 200, window.textX(), 280), 4 * inkOfS9);
}

TEST_F(WindowTest, BigBoldFontForTheReadings) {
  window.setFont("Ariel", 50, 700);  // no such face: the platform's match is used
  window.setTextPosition(50, 45);
  window.printText("USB");
  Screenshot shot(id);
  int tallRows = 0;
  for (int y = 45; y < 150; ++y) tallRows += shot.darkPixels(50, y, window.textX(), y + 1) > 0;
  EXPECT_GT(tallRows, 40);  // 50 points is about 67 pixels; capitals are most of that
}

TEST_F(WindowTest, KeysArriveAsVirtualKeyCodes) {
  sendKeys("a shift+b 5 F1 period equal minus Return Left Up Right Down Prior Next");
  std::vector<int> codes = keyDowns();
  std::erase(codes, 16);  // Shift
  EXPECT_EQ(codes, (std::vector<int>{65, 66, 53, 112, 190, 187, 189, 13, 37, 38, 39, 40, 33, 34}));
  int keyUps = 0;
  for (auto [code, param] : events) keyUps += code == 257;
  EXPECT_GE(keyUps, 14);
}

TEST_F(WindowTest, KeypadWithoutNumLockGivesTheArrowPageAndInsertCodes) {
  sendKeys("KP_Up KP_Down KP_Prior KP_Insert");
  EXPECT_EQ(keyDowns(), (std::vector<int>{38, 40, 33, 45}));
}

TEST_F(WindowTest, HeldKeyRepeatsUntilReleased) {
  std::string command = "xdotool windowfocus --sync " + std::to_string(id) +
                        " keydown f sleep 0.9 keyup f";
  ASSERT_EQ(std::system(command.c_str()), 0);
  pumpFor(100);
  std::vector<int> codes = keyDowns();
  EXPECT_GT(codes.size(), 3U);
  for (int code : codes) EXPECT_EQ(code, 70);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), (Event{257, 70}));
}

TEST_F(WindowTest, AltF4AndTheCloseBoxAreTheCloseRequest) {
  sendKeys("alt+F4");
  EXPECT_EQ(std::count(events.begin(), events.end(), Event{32770, 0}), 1);
  EXPECT_TRUE(keyDowns().empty());

  // SDL turns the close box of the last window into its quit event.
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  pumpFor(50);
  EXPECT_EQ(std::count(events.begin(), events.end(), Event{32770, 0}), 2);
  EXPECT_TRUE(window.isOpen());  // only the program closes its window
}

// An idle window sleeps until the X server sends something. A key ends that
// sleep at once, also when drawing has waited for the server and so already
// read the key off the connection.
TEST_F(WindowTest, KeyEndsAnIdleWaitAtOnce) {
  idleOnASlowTimer();
  ASSERT_EQ(std::system("xdotool key a"), 0);
  EXPECT_LT(msUntil(256), 150.0);

  events.clear();
  ASSERT_EQ(std::system("xdotool key b"), 0);
  window.setTextPosition(10, 10);
  window.printText("drawn while the key waits");
  EXPECT_LT(msUntil(256), 150.0);
  EXPECT_EQ(keyDowns(), std::vector<int>{66});
}

// Each signal that asks the program to end (a closed terminal's SIGHUP and
// SIGQUIT too) is the close request, at once, even when it lands on a
// thread other than the one waiting; the window stays open for the program
// to close.
TEST_F(WindowTest, TerminationSignalsAreTheCloseRequestAndEndAnIdleWait) {
  for (int number : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
    SCOPED_TRACE(number);
    idleOnASlowTimer();
    std::thread other([] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
    ASSERT_EQ(pthread_kill(other.native_handle(), number), 0);
    other.join();
    EXPECT_LT(msUntil(32770), 300.0);
    EXPECT_EQ(std::count(events.begin(), events.end(), Event{32770, 0}), 1);
    EXPECT_TRUE(window.isOpen());
  }
}

// The end asked for stops a word being waited for, as a key does where keys
// stop words: a signal wakes the wait at once, Alt+F4 as soon as it comes.
// Each goes on stopping words until the close request is delivered, and no
// longer: the end's own words are said.
TEST_F(WindowTest, EndAskedForStopsWordsUntilItIsDelivered) {
  // As a word waits: again and again, until it is stopped or its time is up.
  auto waitFor = [this](bool keysStop, int ms) {
    auto until = Clock::now() + std::chrono::milliseconds(ms);
    do {
      if (keysStop ? window.waitForKeyOrEnd(-1, until) : window.waitForEnd(-1, until)) return true;
    } while (Clock::now() < until);
    return false;
  };
  auto msSince = [](Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };
  idleOnASlowTimer();
  EXPECT_FALSE(waitFor(false, 50));
  ASSERT_EQ(std::system("xdotool key alt+F4"), 0);
  auto start = Clock::now();
  EXPECT_TRUE(waitFor(false, 2000));
  EXPECT_LT(msSince(start), 150.0);
  EXPECT_TRUE(waitFor(true, 0));
  EXPECT_LT(msUntil(32770), 100.0);
  EXPECT_FALSE(waitFor(false, 50));

  // A signal counts even after an end was delivered: it asks again.
  idleOnASlowTimer();
  std::thread other([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    pthread_kill(pthread_self(), SIGTERM);
  });
  start = Clock::now();
  EXPECT_TRUE(waitFor(false, 2000));
  EXPECT_LT(msSince(start), 150.0);
  other.join();
  EXPECT_LT(msUntil(32770), 100.0);
  EXPECT_FALSE(waitFor(false, 50));
  EXPECT_TRUE(window.isOpen());
}

TEST_F(WindowTest, BlockingHandlerIsFollowedByOneTickNotABurst) {
  window.stopTimer(workTimer);
  std::vector<Clock::time_point> ticks;
  Clock::time_point handlerEnd;
  SdlWindow slow;
  window.closeWindow();
  ASSERT_TRUE(slow.openWindow(350, 100, 950, 500, "slow", [&](int code, int) {
    if (code != 275) return;
    ticks.push_back(Clock::now());
    if (ticks.size() == 1) {
      std::this_thread::sleep_for(std::chrono::seconds(1));
      handlerEnd = Clock::now();
    }
  }));
  slow.startTimer(50, 1);
  auto end = Clock::now() + std::chrono::milliseconds(1400);
  while (Clock::now() < end) slow.waitEvents();
  slow.stopTimer(1);

  // Within the 60 ms after the long handler: the one waiting tick and the
  // timer's next one or two; a burst of the twenty missed ticks would come
  // all at once.
  ASSERT_GE(ticks.size(), 2U);
  int soonAfter = 0;
  for (auto t : ticks) soonAfter += t >= handlerEnd && t < handlerEnd + std::chrono::milliseconds(60);
  EXPECT_GE(soonAfter, 1);
  EXPECT_LE(soonAfter, 3);
  EXPECT_LT(ticks.size(), 14U);  // about 1 + 400 / 50 in all
}

// The poll's pace is the timer's: each tick falls due a whole number of
// intervals after the start, however late the one before was handled. A
// timer that counts each interval from the last tick's handling drifts a
// little every tick and is soon far off those points.
TEST_F(WindowTest, TicksKeepTheirPace) {
  window.stopTimer(workTimer);
  std::vector<Clock::time_point> ticks;
  SdlWindow paced;
  window.closeWindow();
  ASSERT_TRUE(paced.openWindow(350, 100, 950, 500, "paced", [&](int code, int) {
    if (code == 275) ticks.push_back(Clock::now());
  }));
  constexpr auto interval = std::chrono::milliseconds(20);
  auto start = Clock::now();
  paced.startTimer(20, 1);
  while (Clock::now() < start + std::chrono::milliseconds(1500)) paced.waitEvents();
  paced.stopTimer(1);

  ASSERT_GE(ticks.size(), 50U);
  std::vector<double> lateness;
  for (auto t : ticks) {
    auto sinceStart = std::chrono::duration<double, std::milli>(t - start).count();
    lateness.push_back(std::fmod(sinceStart, static_cast<double>(interval.count())));
  }
  std::nth_element(lateness.begin(), lateness.begin() + lateness.size() / 2, lateness.end());
  EXPECT_LT(lateness[lateness.size() / 2], 5.0);
}

TEST_F(WindowTest, StoppedTimerDeliversNoMoreTicks) {
  window.stopTimer(workTimer);
  window.startTimer(20, 1);
  pumpFor(120);
  window.stopTimer(1);
  events.clear();
  window.startTimer(10, workTimer);
  pumpFor(100);
  EXPECT_EQ(std::count(events.begin(), events.end(), Event{275, 1}), 0);
}

}  // namespace
