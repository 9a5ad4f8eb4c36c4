#include "platform/desktop/x_connection.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>

XConnection::XConnection(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info)) return;
  if (info.subsystem != SDL_SYSWM_X11 || info.info.x11.display == nullptr) return;
  fd_ = ConnectionNumber(info.info.x11.display);
}

bool XConnection::waitReadable(std::chrono::steady_clock::time_point until) const {
  if (fd_ < 0) return true;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
  if (left.count() <= 0) return false;
  pollfd server{fd_, POLLIN, 0};
  int ready = poll(&server, 1, static_cast<int>(std::min<long long>(left.count(), 1000000)));
  return ready != 0;  // readable, hung up, or interrupted: SDL's pump looks
}
