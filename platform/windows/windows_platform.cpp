#include "platform/windows/windows_platform.h"

#include <cstdio>

std::string WindowsPlatform::dateText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d", now.wDay, now.wMonth, now.wYear);
  return text;
}

std::string WindowsPlatform::timeText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
  return text;
}
