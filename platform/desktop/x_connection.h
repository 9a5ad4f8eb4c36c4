// The window's connection to the X server, watched directly so that an idle
// wait costs one poll() instead of SDL's pumping, which asks Xlib for events
// several times over (each ask a read on the socket) on every pass.
//
// It also keeps a lost display from ending the process: Xlib exits from its
// handlers when the connection breaks (the server gone, a logout, a client
// killed) or when a request fails (the window destroyed from outside). Here
// such a failure is only noted, the program is told through lost(), and
// ends in order.
#pragma once

#include <SDL.h>

#include <chrono>

class XConnection {
 public:
  // The connection of an SDL window on X11; not open when the window is on
  // another video driver.
  explicit XConnection(SDL_Window* window);

  bool isOpen() const { return fd_ >= 0; }
  // Sleeps until the server has sent something, a termination signal
  // arrived or the time has come; false only when the time came.
  bool waitReadable(std::chrono::steady_clock::time_point until) const;
  // Sleeps until the server has sent something (true), the other
  // descriptor is readable, a termination signal arrived or the time has
  // come (false).
  bool waitServerOr(int descriptor, std::chrono::steady_clock::time_point until) const;
  // True once the connection has broken or the window was destroyed from
  // outside: nothing more can be shown, and the program can only end.
  bool lost() const;

 private:
  int fd_ = -1;
};
