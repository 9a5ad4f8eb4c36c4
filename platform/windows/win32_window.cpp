#include "platform/windows/win32_window.h"

#include <mmsystem.h>

#include <algorithm>
#include <vector>

namespace {

constexpr const char* windowClass = "QuelmoFrontPanel";
// Asks the window's thread to destroy the window: only the thread that made
// a window may destroy it.
constexpr UINT destroyRequest = WM_APP + 1;
// Asks the window's thread to set the title the program's thread composed:
// set from the program's thread, it would wait for the window's thread,
// which holds the end of a session until the program has ended.
constexpr UINT titleRequest = WM_APP + 2;
// Windows message number for the key-downs made while Alt is held (and F10);
// the handler ignores them.
constexpr int systemKeyDown = WM_SYSKEYDOWN;
// How long the end of a session is held for the program's own end, which
// takes milliseconds: beyond that the program is taken to be stuck, and
// Windows may end it.
constexpr DWORD longestEndOfSession = 10000;

constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF white = RGB(255, 255, 255);

// Caption, system menu with close, minimise and maximise boxes; no sizing
// border.
constexpr DWORD windowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// The place asked for, moved as little as it takes for the whole window to
// lie in the work area of the screen that holds that place (the main screen
// when none does): at 350,100 a 950 by 500 window would reach past the
// right edge of a 1024 by 768 screen, and the S-meter at its right end would
// not be seen. A window larger than the screen keeps its top left corner on
// it.
POINT placeOnScreen(int left, int top, int width, int height) {
  MONITORINFO screen{};
  screen.cbSize = sizeof screen;
  if (!GetMonitorInfoA(MonitorFromPoint(POINT{left, top}, MONITOR_DEFAULTTOPRIMARY), &screen)) {
    return POINT{left, top};
  }
  const RECT& work = screen.rcWork;
  auto fit = [](int at, int size, int start, int end) {
    return std::max(start, std::min(at, end - size));
  };
  return POINT{fit(left, width, work.left, work.right), fit(top, height, work.top, work.bottom)};
}

bool registerClass(WNDPROC procedure) {
  WNDCLASSEXA windowClassInfo{};
  windowClassInfo.cbSize = sizeof windowClassInfo;
  windowClassInfo.lpfnWndProc = procedure;
  windowClassInfo.hInstance = GetModuleHandleA(nullptr);
  windowClassInfo.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClassInfo.lpszClassName = windowClass;
  return RegisterClassExA(&windowClassInfo) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

Win32Window::Win32Window()
    : posted_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      created_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      programEnded_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

Win32Window::~Win32Window() {
  closeWindow();
  SetEvent(programEnded_);
  if (thread_.joinable()) {
    if (HWND window = window_.load()) PostMessageA(window, destroyRequest, 0, 0);
    thread_.join();
  }
  freeImage();
  if (WindowProvider* provider = provider_.exchange(nullptr)) provider->Release();
  CloseHandle(posted_);
  CloseHandle(created_);
  CloseHandle(programEnded_);
}

bool Win32Window::openWindow(int left, int top, int width, int height, const std::string& title,
                             EventHandler handler) {
  if (open_ || thread_.joinable()) return false;
  handler_ = std::move(handler);
  title_.open(title);
  textX_ = 0;
  textY_ = 0;
  {
    std::lock_guard lock(postedMutex_);
    postedEvents_.clear();  // nothing of a window closed before reaches this one
  }
  thread_ = std::thread(&Win32Window::runWindow, this, Placement{left, top, width, height, title});
  WaitForSingleObject(created_, INFINITE);
  if (window_.load() == nullptr) {
    thread_.join();
    freeImage();
    handler_ = nullptr;
    return false;
  }
  open_ = true;
  return true;
}

void Win32Window::setTextPosition(int x, int y) {
  textX_ = x;
  textY_ = y;
}

void Win32Window::printText(std::string_view text) {
  if (!open_) return;
  if (text.ends_with("\r\n")) text.remove_suffix(2);
  if (text.empty()) return;
  auto length = static_cast<int>(text.size());
  RECT area{};
  RECT changed{};
  {
    std::lock_guard lock(imageMutex_);
    SIZE size{};
    if (!GetTextExtentPoint32A(image_, text.data(), length, &size)) return;
    area = RECT{textX_, textY_, textX_ + size.cx, textY_ + size.cy};
    changed = eraseCovered(area);
    ExtTextOutA(image_, textX_, textY_, ETO_OPAQUE, &area, text.data(), static_cast<UINT>(length),
                nullptr);
  }
  shown_.push_back(area);
  if (title_.printed(textX_, textY_, area.right, text)) {
    {
      std::lock_guard lock(titleMutex_);
      titleText_ = title_.text();
    }
    PostMessageA(window_.load(), titleRequest, 0, 0);
  }
  textX_ = area.right;
  // The window's thread repaints the area from the image at once.
  UnionRect(&changed, &changed, &area);
  InvalidateRect(window_.load(), &changed, FALSE);
}

// A text's box ends where its last character ends, and in a proportional
// font blanks are narrower than most characters: "S9" and two blanks
// printed where "S9+" was would leave the end of the "+" standing. So every
// earlier text that the new one overlaps is erased whole first; a text
// printed over another replaces it. Returns the area erased.
RECT Win32Window::eraseCovered(const RECT& area) {
  RECT erased{};
  auto background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  std::erase_if(shown_, [&](const RECT& shown) {
    RECT overlap{};
    if (!IntersectRect(&overlap, &shown, &area)) return false;
    FillRect(image_, &shown, background);
    UnionRect(&erased, &erased, &shown);
    return true;
  });
  return erased;
}

// The height is the character height at the screen's resolution; a
// TrueType face is preferred, so that an unknown name never falls back on a
// bitmap font that cannot be drawn large.
void Win32Window::setFont(const std::string& face, int points, int weight) {
  if (!open_) return;
  LOGFONTA description{};
  description.lfHeight = -MulDiv(points, pixelsPerInch_, 72);
  description.lfWeight = weight;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_TT_PRECIS;
  description.lfQuality = DRAFT_QUALITY;
  face.copy(description.lfFaceName, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectA(&description);
  if (font == nullptr) return;  // keep drawing in the font there was
  std::lock_guard lock(imageMutex_);
  SelectObject(image_, font);
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
}

void Win32Window::startTimer(int intervalMs, int id) {
  if (!open_ || intervalMs <= 0) return;
  // Waits end on the system's timer tick, 15.6 ms unless asked for finer:
  // the poll's 50 ms would drift by a third of a tick each time.
  if (!fineTimer_) fineTimer_ = timeBeginPeriod(1) == TIMERR_NOERROR;
  timers_.start(intervalMs, id);
}

void Win32Window::stopTimer(int id) {
  timers_.stop(id);
  if (timers_.empty()) releaseFineTimer();
}

void Win32Window::releaseFineTimer() {
  if (fineTimer_) timeEndPeriod(1);
  fineTimer_ = false;
}

// Blocks until at least one event has been delivered: a window event or a
// timer tick, whichever comes first; then delivers all that are waiting.
void Win32Window::waitEvents() {
  bool delivered = false;
  while (open_ && !delivered) {
    WaitForSingleObject(posted_, timers_.empty() ? INFINITE : msUntilNextTick());
    delivered = deliverPosted();
    if (open_ && timers_.deliverDue([this] { return open_.load(); }, handler_)) delivered = true;
  }
}

void Win32Window::closeWindow() {
  if (!open_) return;
  open_ = false;
  timers_.clear();
  releaseFineTimer();
  handler_ = nullptr;
  shown_.clear();
  // At the end of a session the window's thread holds WM_ENDSESSION until
  // the program has ended; it is let go, and the window destroyed, by the
  // destructor.
  if (sessionEnding_) return;
  PostMessageA(window_.load(), destroyRequest, 0, 0);
  thread_.join();
  freeImage();
}

bool Win32Window::keyDownWaiting() {
  std::lock_guard lock(postedMutex_);
  return std::any_of(postedEvents_.begin(), postedEvents_.end(),
                     [](const Posted& p) { return p.freshKey; });
}

bool Win32Window::closeRequestWaiting() {
  std::lock_guard lock(postedMutex_);
  return std::any_of(postedEvents_.begin(), postedEvents_.end(),
                     [](const Posted& p) { return p.code == event::closeRequest; });
}

// Every event the window's thread has posted, in order; the handler may
// close the window, after which nothing more is delivered.
bool Win32Window::deliverPosted() {
  bool delivered = false;
  while (open_) {
    Posted event{};
    {
      std::lock_guard lock(postedMutex_);
      if (postedEvents_.empty()) break;
      event = postedEvents_.front();
      postedEvents_.pop_front();
    }
    if (handler_) handler_(event.code, event.param);
    delivered = true;
  }
  return delivered;
}

DWORD Win32Window::msUntilNextTick() const {
  auto left =
      std::chrono::ceil<std::chrono::milliseconds>(timers_.nextDue() - Clock::now()).count();
  return static_cast<DWORD>(std::clamp<long long>(left, 0, 0x7FFFFFFF));
}

void Win32Window::freeImage() {
  std::lock_guard lock(imageMutex_);
  if (image_ != nullptr) {
    SelectObject(image_, originalFont_);
    SelectObject(image_, originalBitmap_);
    DeleteDC(image_);
  }
  if (imageBitmap_ != nullptr) DeleteObject(imageBitmap_);
  if (font_ != nullptr) DeleteObject(font_);
  image_ = nullptr;
  imageBitmap_ = nullptr;
  font_ = nullptr;
}

// --- the window's thread ---

void Win32Window::runWindow(const Placement& placement) {
  bool created = createWindow(placement);
  if (!created) window_ = nullptr;
  SetEvent(created_);
  if (!created) return;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);  // character messages, which the program ignores
    DispatchMessageA(&message);
  }
  window_ = nullptr;
}

// The image is made first, white, as large as the screen (and at least as
// large as the window), in the screen's format; then the window.
bool Win32Window::createWindow(const Placement& placement) {
  if (!registerClass(windowProcedure)) return false;
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return false;
  pixelsPerInch_ = GetDeviceCaps(screen, LOGPIXELSY);
  if (pixelsPerInch_ <= 0) pixelsPerInch_ = 96;
  int width = std::max(GetSystemMetrics(SM_CXSCREEN), placement.width);
  int height = std::max(GetSystemMetrics(SM_CYSCREEN), placement.height);
  {
    std::lock_guard lock(imageMutex_);
    image_ = CreateCompatibleDC(screen);
    imageBitmap_ = CreateCompatibleBitmap(screen, width, height);
    if (image_ != nullptr && imageBitmap_ != nullptr) {
      originalBitmap_ = SelectObject(image_, imageBitmap_);
      originalFont_ = GetCurrentObject(image_, OBJ_FONT);
      RECT all{0, 0, width, height};
      FillRect(image_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      SetTextColor(image_, black);
      SetBkColor(image_, white);
      SetBkMode(image_, OPAQUE);
      SetTextAlign(image_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    }
  }
  ReleaseDC(nullptr, screen);
  if (image_ == nullptr || imageBitmap_ == nullptr) return false;

  POINT place = placeOnScreen(placement.left, placement.top, placement.width, placement.height);
  HWND window = CreateWindowExA(0, windowClass, placement.title.c_str(), windowStyle, place.x,
                                place.y, placement.width, placement.height, nullptr, nullptr,
                                GetModuleHandleA(nullptr), this);
  if (window == nullptr) return false;
  window_ = window;
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  UpdateWindow(window);
  return true;
}

LRESULT CALLBACK Win32Window::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* creation = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return self->onMessage(window, message, wParam, lParam);
}

// Key messages carry the virtual-key code that the key map compares against.
// After the keys made with Alt (and F10) Windows' own handling runs: Alt+F4
// becomes the close request, Alt alone reaches the system menu.
LRESULT Win32Window::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      // Bit 30: the key was down already, the keyboard repeats it.
      post(event::keyDown, static_cast<int>(wParam), (lParam & (1L << 30)) == 0);
      return 0;
    case WM_KEYUP:
      post(event::keyUp, static_cast<int>(wParam));
      return 0;
    case WM_SYSKEYDOWN:
      post(systemKeyDown, static_cast<int>(wParam));
      break;
    case WM_SYSKEYUP:
      // A key let go is let go, whether Alt was held or not: the repeat
      // guard waits for it.
      post(event::keyUp, static_cast<int>(wParam));
      break;
    case WM_CLOSE:  // the close box, the system menu's Close, Alt+F4
      post(event::closeRequest, 0);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam != FALSE) holdEndOfSession();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the image covers the whole window
    case WM_PAINT:
      repaint(window);
      return 0;
    case destroyRequest:
      DestroyWindow(window);
      return 0;
    case titleRequest: {
      std::string title;
      {
        std::lock_guard lock(titleMutex_);
        title = titleText_;
      }
      SetWindowTextA(window, title.c_str());
      return 0;
    }
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == uiaRootObjectId) {
        if (LRESULT answer = answerAutomation(window, wParam, lParam)) return answer;
      }
      break;
    case WM_DESTROY:
      // UI Automation lets go of the provider.
      if (auto giveBack = returnProvider_.load(); giveBack && provider_.load()) {
        giveBack(window, 0, 0, nullptr);
      }
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The session ends (log-off, shut-down, restart): the program is asked to
// close as by the close box, and the answer to Windows waits until the
// program has ended in order.
void Win32Window::holdEndOfSession() {
  sessionEnding_ = true;
  post(event::closeRequest, 0);
  WaitForSingleObject(programEnded_, longestEndOfSession);
}

void Win32Window::repaint(HWND window) {
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(window, &paint);
  {
    std::lock_guard lock(imageMutex_);
    const RECT& area = paint.rcPaint;
    BitBlt(screen, area.left, area.top, area.right - area.left, area.bottom - area.top, image_,
           area.left, area.top, SRCCOPY);
  }
  EndPaint(window, &paint);
}

WindowProvider* Win32Window::provider(const UiaCalls& calls) {
  HWND window = window_.load();
  if (!open_ || window == nullptr) return nullptr;
  if (WindowProvider* made = provider_.load()) return made;
  returnProvider_ = calls.returnProvider;
  provider_ = new WindowProvider(window, calls);
  return provider_.load();
}

// Only once the program has asked for the system's speech does the window
// answer UI Automation with a provider of its own.
LRESULT Win32Window::answerAutomation(HWND window, WPARAM wParam, LPARAM lParam) {
  WindowProvider* provider = provider_.load();
  UiaCalls::ReturnProvider answer = returnProvider_.load();
  if (provider == nullptr || answer == nullptr) return 0;
  return answer(window, wParam, lParam, provider);
}

void Win32Window::post(int code, int param, bool freshKey) {
  {
    std::lock_guard lock(postedMutex_);
    postedEvents_.push_back(Posted{code, param, freshKey});
  }
  SetEvent(posted_);
}
