// The program's timers, as a window keeps them: each falls due at fixed
// points in time, an interval after the last, so its ticks keep their pace
// however late each one is handled; and a handler that blocked for a long
// time is followed by one tick, not a burst. The window waits until
// nextDue() and then calls deliverDue(); no timer thread is needed.
#pragma once

#include <chrono>
#include <functional>
#include <map>

#include "platform/platform.h"

class TickTimers {
 public:
  using Clock = std::chrono::steady_clock;

  // A timer with this id is started again from now.
  void start(int intervalMs, int id);
  void stop(int id) { timers_.erase(id); }
  void clear() { timers_.clear(); }
  bool empty() const { return timers_.empty(); }
  // When the earliest timer falls due; only while one is running.
  Clock::time_point nextDue() const;
  // One tick for each timer that has fallen due. The handler may stop a
  // timer or close the window: before each tick, the window must still be
  // open, the timer still running and a handler still set. True when a tick
  // was delivered.
  bool deliverDue(const std::function<bool()>& windowOpen, const EventHandler& handler);

 private:
  struct Timer {
    Clock::duration interval{};
    Clock::time_point due{};
  };
  std::map<int, Timer> timers_;  // the running timers by id
};
