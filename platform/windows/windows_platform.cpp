#include "platform/windows/windows_platform.h"

#include <cstdio>

namespace {

SYSTEMTIME localNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now;
}

std::string printed(const char* format, int first, int second, int third) {
  char text[32];
  std::snprintf(text, sizeof text, format, first, second, third);
  return text;
}

}  // namespace

std::string WindowsPlatform::dateText() {
  SYSTEMTIME now = localNow();
  return printed("%02d-%02d-%04d", now.wDay, now.wMonth, now.wYear);
}

std::string WindowsPlatform::timeText() {
  SYSTEMTIME now = localNow();
  return printed("%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
}
