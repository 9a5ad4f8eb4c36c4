#include "sim/command_log.h"

#include <time.h>

namespace {

std::int64_t microseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

}  // namespace

Timestamp timestampNow() {
  return Timestamp{microseconds(CLOCK_REALTIME), microseconds(CLOCK_MONOTONIC)};
}

std::int64_t monotonicMs() { return microseconds(CLOCK_MONOTONIC) / 1000; }

std::int64_t monotonicUs() { return microseconds(CLOCK_MONOTONIC); }

CommandLog::~CommandLog() {
  if (file_ != nullptr) std::fclose(file_);
}

bool CommandLog::open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "a");
  return file_ != nullptr;
}

void CommandLog::write(const Timestamp& when, const std::string& command) {
  if (file_ == nullptr) return;
  std::string line;
  for (const char c : command) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
      line += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      line += escaped;
    }
  }
  std::fprintf(file_, "%lld %lld %s\n", static_cast<long long>(when.realtimeUs),
               static_cast<long long>(when.monotonicUs), line.c_str());
  std::fflush(file_);
}
