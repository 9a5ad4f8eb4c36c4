#include "platform/desktop/local_clock.h"

#include <cstdio>
#include <ctime>

namespace {

std::tm localNow() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  ::localtime_r(&now, &parts);
  return parts;
}

}  // namespace

std::string localDateText() {
  std::tm now = localNow();
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d", now.tm_mday, now.tm_mon + 1,
                now.tm_year + 1900);
  return text;
}

std::string localTimeText() {
  std::tm now = localNow();
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.tm_hour, now.tm_min, now.tm_sec);
  return text;
}
