#include "platform/tick_timers.h"

#include <algorithm>
#include <vector>

void TickTimers::start(int intervalMs, int id) {
  auto interval = std::chrono::milliseconds(intervalMs);
  timers_[id] = Timer{interval, Clock::now() + interval};
}

TickTimers::Clock::time_point TickTimers::nextDue() const {
  return std::min_element(timers_.begin(), timers_.end(),
                          [](const auto& a, const auto& b) { return a.second.due < b.second.due; })
      ->second.due;
}

bool TickTimers::deliverDue(const std::function<bool()>& windowOpen, const EventHandler& handler) {
  bool delivered = false;
  auto now = Clock::now();
  std::vector<int> due;
  for (auto& [id, timer] : timers_) {
    if (timer.due > now) continue;
    auto behind = (now - timer.due) / timer.interval;
    timer.due += (behind + 1) * timer.interval;
    due.push_back(id);
  }
  for (int id : due) {
    if (!windowOpen() || !timers_.contains(id) || !handler) break;
    handler(event::timerTick, id);
    delivered = true;
  }
  return delivered;
}
