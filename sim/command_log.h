// The simulator's record of every command it received, one line each:
// REALTIME_US MONOTONIC_US TEXT; written and flushed at once so that tests and
// benchmarks can follow it while it grows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct Timestamp {
  std::int64_t realtimeUs = 0;
  std::int64_t monotonicUs = 0;
};

Timestamp timestampNow();
std::int64_t monotonicMs();
std::int64_t monotonicUs();

class CommandLog {
 public:
  CommandLog() = default;
  ~CommandLog();
  CommandLog(const CommandLog&) = delete;
  CommandLog& operator=(const CommandLog&) = delete;

  bool open(const std::string& path);
  // `command` is written with bytes outside printable ASCII as \xNN, so that
  // one command stays one line whatever arrived.
  void write(const Timestamp& when, const std::string& command);

 private:
  std::FILE* file_ = nullptr;
};
