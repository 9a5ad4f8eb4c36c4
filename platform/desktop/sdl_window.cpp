#include "platform/desktop/sdl_window.h"

#include <SDL_syswm.h>
#include <poll.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop/font_matching.h"
#include "platform/desktop/key_codes.h"
#include "platform/desktop/termination_signals.h"

namespace {

// The window's initial font, a plain sans face at a normal size: the
// desktop's counterpart of the default system font.
constexpr const char* initialFace = "sans";
constexpr int initialPoints = 10;
constexpr int normalWeight = 400;

// Windows message numbers for the key-downs made while Alt is held; the
// handler ignores them, as it ignores Alt combinations on Windows.
constexpr int systemKeyDown = 260;

// How long a wait for SDL's events may last when the window is not on X11,
// whose connection is watched together with the termination signals: the
// longest a signal waits to become the close request there.
constexpr std::chrono::milliseconds signalCheckInterval{250};

constexpr SDL_Color black = {0, 0, 0, 255};
constexpr SDL_Color white = {255, 255, 255, 255};

// SDL falls back to its offscreen or dummy driver when it cannot reach the
// display, and a window there can be neither seen nor typed into; unless
// SDL_VIDEODRIVER asks for one of them, that counts as no display. A
// display that is only busy (a server just starting, a loaded machine) gets
// a few more tries.
bool startVideo() {
  constexpr int attempts = 5;
  constexpr Uint32 pauseMs = 200;
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      std::string_view driver = SDL_GetCurrentVideoDriver();
      const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
      bool visible = driver != "offscreen" && driver != "dummy";
      if (visible || (asked != nullptr && driver == asked)) return true;
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    if (attempt < attempts) SDL_Delay(pauseMs);
  }
  return false;
}

// The place asked for, moved as little as it takes for the whole window to
// lie on the screen that holds that place (the first screen when none does):
// at 350,100 a 950 by 500 window would reach past the right edge of a
// 1024 by 768 screen, and the S-meter at its right end would not be seen.
// A window larger than the screen keeps its top left corner on it.
SDL_Point placeOnScreen(int left, int top, int width, int height) {
  const SDL_Point corner{left, top};
  SDL_Rect screen{0, 0, 0, 0};
  for (int display = 0; display < SDL_GetNumVideoDisplays(); ++display) {
    SDL_Rect bounds;
    if (SDL_GetDisplayUsableBounds(display, &bounds) != 0) continue;
    bool holdsCorner = SDL_PointInRect(&corner, &bounds) == SDL_TRUE;
    if (SDL_RectEmpty(&screen) || holdsCorner) screen = bounds;
    if (holdsCorner) break;
  }
  if (SDL_RectEmpty(&screen)) return {left, top};
  auto fit = [](int at, int size, int start, int length) {
    return std::max(start, std::min(at, start + length - size));
  };
  return {fit(left, width, screen.x, screen.w), fit(top, height, screen.y, screen.h)};
}

float displayDpi(SDL_Window* window) {
  float vertical = 0.0F;
  int display = SDL_GetWindowDisplayIndex(window);
  if (SDL_GetDisplayDPI(display < 0 ? 0 : display, nullptr, nullptr, &vertical) != 0) return 0.0F;
  return vertical;
}

}  // namespace

SdlWindow::~SdlWindow() { closeWindow(); }

bool SdlWindow::openWindow(int left, int top, int width, int height, const std::string& title,
                           EventHandler handler) {
  if (window_ != nullptr) return false;
  // The window shows a few texts: the plain X11 image is all it needs. Left
  // to itself, SDL tries an OpenGL context first to see whether the driver is
  // fast, which loads the whole graphics driver (some 70 MB, a tenth of a
  // second) and creates the window twice.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // The termination signals are this window's to turn into the close
  // request, all four of them, not only the two SDL would catch.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  terminationSignals::install();
  if (TTF_Init() != 0) return false;
  if (!startVideo()) {
    TTF_Quit();
    return false;
  }

  SDL_Point place = placeOnScreen(left, top, width, height);
  window_ = SDL_CreateWindow(title.c_str(), place.x, place.y, width, height, SDL_WINDOW_SHOWN);
  if (window_ == nullptr) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    TTF_Quit();
    return false;
  }
  SDL_StopTextInput();  // character events are of no use here
  xServer_ = XConnection(window_);

  SDL_Rect screen{0, 0, width, height};
  SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &screen);
  image_ = SDL_CreateRGBSurfaceWithFormat(0, std::max(screen.w, width), std::max(screen.h, height),
                                          32, SDL_PIXELFORMAT_XRGB8888);
  if (image_ != nullptr) SDL_FillRect(image_, nullptr, SDL_MapRGB(image_->format, 255, 255, 255));

  handler_ = std::move(handler);
  title_.open(title);
  endDelivered_ = false;
  textX_ = 0;
  textY_ = 0;
  setFont(initialFace, initialPoints, normalWeight);
  showArea({0, 0, width, height});
  return true;
}

void SdlWindow::setTextPosition(int x, int y) {
  textX_ = x;
  textY_ = y;
}

void SdlWindow::printText(std::string_view text) {
  if (window_ == nullptr || image_ == nullptr || font_ == nullptr) return;
  if (text.ends_with("\r\n")) text.remove_suffix(2);
  if (text.empty()) return;

  std::string line(text);
  if (const Shown* same = alreadyShown(line)) {
    // The window already shows exactly this there; the title still learns
    // where it ends, as what follows it may change ("S9" then "+" or "  ").
    followInTitle(line, textX_ + same->area.w);
    textX_ += same->area.w;
    return;
  }
  // SDL_ttf takes 8-bit texts as Latin-1, the closest match to the program's
  // 8-bit characters.
  SDL_Surface* drawn = TTF_RenderText_Shaded(font_, line.c_str(), black, white);
  if (drawn == nullptr) return;
  SDL_Rect area{textX_, textY_, drawn->w, drawn->h};
  SDL_Rect changed = eraseCovered(area);
  SDL_BlitSurface(drawn, nullptr, image_, &area);
  SDL_FreeSurface(drawn);
  area = {textX_, textY_, area.w, area.h};  // the blit clips its copy of the rect
  remember(line, area);
  followInTitle(line, textX_ + area.w);
  textX_ += area.w;
  SDL_UnionRect(&changed, &area, &changed);
  showArea(changed);
}

void SdlWindow::followInTitle(const std::string& line, int endX) {
  if (title_.printed(textX_, textY_, endX, line)) {
    SDL_SetWindowTitle(window_, title_.text().c_str());
  }
}

// A text's box ends where its last character ends, and in a proportional
// font blanks are narrower than most characters: "S9" and two blanks
// printed where "S9+" was would leave the end of the "+" standing. So every
// earlier text that the new one overlaps is erased whole first; a text
// printed over another replaces it. Returns the area erased (empty: none).
SDL_Rect SdlWindow::eraseCovered(const SDL_Rect& area) {
  SDL_Rect erased{0, 0, 0, 0};
  Uint32 background = SDL_MapRGB(image_->format, 255, 255, 255);
  for (const Shown& s : shown_) {
    if (!SDL_HasIntersection(&s.area, &area)) continue;
    SDL_FillRect(image_, &s.area, background);
    SDL_UnionRect(&erased, &s.area, &erased);
  }
  return erased;
}

// The same text printed in the same font at the current position, with
// nothing drawn over it since; null when there is none.
const SdlWindow::Shown* SdlWindow::alreadyShown(const std::string& text) const {
  for (const Shown& s : shown_) {
    if (s.area.x == textX_ && s.area.y == textY_ && s.font == fontNumber_ && s.text == text) {
      return &s;
    }
  }
  return nullptr;
}

// Texts the new one covers, even in part, are no longer shown as printed.
void SdlWindow::remember(const std::string& text, const SDL_Rect& area) {
  std::erase_if(shown_, [&area](const Shown& s) { return SDL_HasIntersection(&s.area, &area); });
  shown_.push_back(Shown{text, fontNumber_, area});
}

void SdlWindow::setFont(const std::string& face, int points, int weight) {
  if (window_ == nullptr) return;
  TTF_Font* font = openMatchedFont(face, pointsToPixels(points, displayDpi(window_)), weight);
  if (font == nullptr) return;  // keep drawing in the font there was
  if (font_ != nullptr) TTF_CloseFont(font_);
  font_ = font;
  ++fontNumber_;
}

void SdlWindow::startTimer(int intervalMs, int id) {
  if (window_ == nullptr || intervalMs <= 0) return;
  timers_.start(intervalMs, id);
}

void SdlWindow::stopTimer(int id) { timers_.stop(id); }

// Blocks until at least one event has been delivered: a window event or a
// timer tick, whichever comes first; then delivers all that are waiting.
// The ticks are kept here rather than on a timer thread: the wait simply
// ends when the next one falls due, with no other thread to wake.
void SdlWindow::waitEvents() {
  bool delivered = false;
  while (window_ != nullptr && !delivered) {
    if (endAsked()) {
      deliverEnd();
      return;
    }
    SDL_Event e;
    if (waitForEvent(e)) {
      deliver(e);
      while (window_ != nullptr && SDL_PollEvent(&e) != 0) deliver(e);
      delivered = true;
    }
    if (window_ != nullptr && timers_.deliverDue([this] { return window_ != nullptr; }, handler_)) {
      delivered = true;
    }
  }
}

// A termination signal, the display gone or the window destroyed from
// outside: each is the close request, and the program ends in order.
bool SdlWindow::endAsked() { return terminationSignals::take() || xServer_.lost(); }

// Once the end is delivered its own words ("tune on, not connected") are
// said: only a new signal stops them.
void SdlWindow::deliverEnd() {
  endDelivered_ = true;
  if (handler_) handler_(event::closeRequest, 0);
}

// Waits for a window event until the earliest timer falls due; false when
// the wait ended without one.
bool SdlWindow::waitForEvent(SDL_Event& e) {
  auto due = timers_.empty() ? Clock::now() + signalCheckInterval : timers_.nextDue();
  if (xServer_.isOpen()) return waitOnXServer(e, due);
  auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now()).count();
  if (left <= 0) return SDL_PollEvent(&e) != 0;
  left = std::min<long long>(left, signalCheckInterval.count());
  return SDL_WaitEventTimeout(&e, static_cast<int>(left)) != 0;
}

// On X11 SDL pumps only when the server has sent something, or a signal
// arrived, and when the window has drawn (waiting for the server there may
// have read events off the connection, where poll() no longer sees them);
// an idle tick then costs one poll() on the connection.
bool SdlWindow::waitOnXServer(SDL_Event& e, Clock::time_point due) {
  auto takeQueued = [&e] {
    return SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
  };
  if (takeQueued()) return true;
  if (drawnSincePump_) {
    pumpEvents();
    if (takeQueued()) return true;
  }
  if (!xServer_.waitReadable(due)) return false;
  pumpEvents();
  return takeQueued();
}

bool SdlWindow::waitForKeyOrEnd(int descriptor, Clock::time_point until) {
  return waitForStop(descriptor, until, true);
}

bool SdlWindow::waitForEnd(int descriptor, Clock::time_point until) {
  return waitForStop(descriptor, until, false);
}

// A word being said waits here: the end (a termination signal, the close
// box, the display gone) stops it at once, as a key does where keys stop
// words, so that a tuning ends without waiting for the phrase.
bool SdlWindow::waitForStop(int descriptor, Clock::time_point until, bool keysStop) {
  auto stops = [this, keysStop] { return endWaiting() || (keysStop && keyDownQueued()); };
  if (stops()) return true;
  // A display that has gone is not asked for events any more.
  bool onDisplay = window_ != nullptr && !xServer_.lost();
  if (onDisplay) {
    if (drawnSincePump_) {
      pumpEvents();
      if (stops()) return true;
    }
    if (xServer_.isOpen()) {
      if (xServer_.waitServerOr(descriptor, until)) pumpEvents();
      return stops();
    }
  }
  // Not on X11: SDL is asked for events every 10 ms.
  auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
  pollfd watched[] = {{descriptor, POLLIN, 0}, {terminationSignals::wakeDescriptor(), POLLIN, 0}};
  poll(watched, 2, static_cast<int>(std::clamp<long long>(left, 0, 10)));
  if (onDisplay) pumpEvents();
  return stops();
}

// The end asked for and not yet delivered: a termination signal not yet
// taken, the display gone, or a close request in SDL's queue (the close
// box, or Alt+F4 as a key). Once the end is delivered, only a new signal.
bool SdlWindow::endWaiting() const {
  if (terminationSignals::pending()) return true;
  if (endDelivered_) return false;
  if (xServer_.lost()) return true;
  if (window_ == nullptr) return false;
  if (SDL_HasEvent(SDL_QUIT) == SDL_TRUE) return true;
  SDL_Event waiting[32];
  int count = SDL_PeepEvents(waiting, 32, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN);
  for (int i = 0; i < count; ++i) {
    const SDL_Keysym& key = waiting[i].key.keysym;
    if ((key.mod & KMOD_ALT) != 0 && key.sym == SDLK_F4) return true;
  }
  return false;
}

bool SdlWindow::keyDownQueued() const {
  SDL_Event waiting[32];
  int count = SDL_PeepEvents(waiting, 32, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN);
  for (int i = 0; i < count; ++i) {
    const SDL_KeyboardEvent& key = waiting[i].key;
    if (key.repeat == 0 && virtualKeyCode(key.keysym.sym, key.keysym.mod) != 0) return true;
  }
  return false;
}

void SdlWindow::pumpEvents() {
  SDL_PumpEvents();
  drawnSincePump_ = false;
}

void SdlWindow::deliver(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:  // the close box or the window manager's close
      deliverEnd();
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      deliverKey(e.key);
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(window_, &width, &height);
        showArea({0, 0, width, height});
      }
      break;
    default:
      break;
  }
}

void SdlWindow::deliverKey(const SDL_KeyboardEvent& key) {
  if (!handler_) return;
  bool altHeld = (key.keysym.mod & KMOD_ALT) != 0;
  if (key.type == SDL_KEYDOWN && altHeld && key.keysym.sym == SDLK_F4) {
    deliverEnd();  // no window manager is needed for Alt+F4
    return;
  }
  int code = virtualKeyCode(key.keysym.sym, key.keysym.mod);
  if (code == 0) return;
  if (key.type == SDL_KEYUP) {
    handler_(event::keyUp, code);
  } else {
    handler_(altHeld ? systemKeyDown : event::keyDown, code);
  }
}

// Copies an area of the retained image to the window and shows it at once.
void SdlWindow::showArea(const SDL_Rect& area) {
  if (window_ == nullptr || image_ == nullptr) return;
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr) return;
  SDL_Rect source = area;
  SDL_Rect target = area;
  SDL_BlitSurface(image_, &source, surface, &target);
  SDL_UpdateWindowSurfaceRects(window_, &target, 1);
  drawnSincePump_ = true;
}

void SdlWindow::closeWindow() { release(!xServer_.lost()); }

// Destroying the window asks the server to take it off the screen and waits
// for its answer (SDL), and closing SDL's video closes its connections. A
// server that goes at that moment (a logout, the X server killed, together
// with the signal that ended the program) never answers: Xlib then waits
// for ever, at full speed, or ends the process itself. At the program's end
// there is no need: the process ends next, and the server takes the window
// away with the connection.
void SdlWindow::closeForExit() { release(false); }

// Over a lost connection SDL would wait for the server's answer for ever
// too: the window and SDL's video are then left for the end of the process
// to release.
void SdlWindow::release(bool destroy) {
  if (window_ == nullptr) return;
  timers_.clear();
  shown_.clear();
  handler_ = nullptr;
  if (font_ != nullptr) TTF_CloseFont(font_);
  font_ = nullptr;
  SDL_FreeSurface(image_);
  image_ = nullptr;
  TTF_Quit();
  xServer_ = XConnection(nullptr);
  if (destroy) {
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  window_ = nullptr;
}

unsigned long SdlWindow::nativeId() const {
  if (window_ == nullptr) return 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
  return static_cast<unsigned long>(info.info.x11.window);
}
