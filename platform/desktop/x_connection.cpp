#include "platform/desktop/x_connection.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/desktop/termination_signals.h"

namespace {

// Xlib's handlers are the process's, not a connection's.
std::atomic<bool> connectionBroken{false};
std::atomic<bool> windowDestroyed{false};
std::atomic<unsigned long> ourWindow{0};

// The connection broke. Xlib then calls the exit handler, which by default
// ends the process; this one returns, and from then on Xlib's calls on the
// connection do nothing.
int onConnectionBroken(Display*) {
  if (!connectionBroken.exchange(true)) std::fputs("quelmo: the display has gone\n", stderr);
  return 0;
}
void onConnectionExit(Display*, void*) { connectionBroken.store(true); }

// A failed request ends the process by default. The only one that matters
// is a request on the window after it was destroyed from outside; any other
// leaves the window as it was.
int onRequestFailed(Display*, XErrorEvent* error) {
  bool gone = error->error_code == BadWindow || error->error_code == BadDrawable;
  if (gone && error->resourceid == ourWindow.load() && !windowDestroyed.exchange(true)) {
    std::fputs("quelmo: the window was destroyed\n", stderr);
  }
  return 0;
}

}  // namespace

XConnection::XConnection(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info)) return;
  if (info.subsystem != SDL_SYSWM_X11 || info.info.x11.display == nullptr) return;
  Display* display = info.info.x11.display;
  fd_ = ConnectionNumber(display);
  connectionBroken.store(false);
  windowDestroyed.store(false);
  ourWindow.store(info.info.x11.window);
  XSetIOErrorHandler(onConnectionBroken);
  XSetIOErrorExitHandler(display, onConnectionExit, nullptr);
  XSetErrorHandler(onRequestFailed);
}

bool XConnection::lost() const {
  return isOpen() && (connectionBroken.load() || windowDestroyed.load());
}

bool XConnection::waitReadable(std::chrono::steady_clock::time_point until) const {
  if (fd_ < 0) return true;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
  if (left.count() <= 0) return false;
  pollfd watched[] = {{fd_, POLLIN, 0}, {terminationSignals::wakeDescriptor(), POLLIN, 0}};
  int count = watched[1].fd >= 0 ? 2 : 1;
  int ready = poll(watched, count, static_cast<int>(std::min<long long>(left.count(), 1000000)));
  return ready != 0;  // readable, hung up, signalled or interrupted: SDL's pump looks
}

bool XConnection::waitServerOr(int descriptor, std::chrono::steady_clock::time_point until) const {
  if (fd_ < 0) return false;
  auto left =
      std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
  if (left.count() <= 0) return false;
  pollfd watched[] = {
      {fd_, POLLIN, 0}, {descriptor, POLLIN, 0}, {terminationSignals::wakeDescriptor(), POLLIN, 0}};
  int count = watched[2].fd >= 0 ? 3 : 2;
  int ready = poll(watched, count, static_cast<int>(std::min<long long>(left.count(), 1000000)));
  if (ready <= 0) return false;
  // Only the server: a sound released, or a signal, is looked at first.
  return watched[1].revents == 0 && watched[2].revents == 0;
}
