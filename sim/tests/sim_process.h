// Runs quelmo-sim in a fresh temporary folder and talks to it the way the
// program does: COM1 opened with plain termios, knob lines on its stdin.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& extraOptions = {});
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool ready() const { return port_ >= 0; }
  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path link() const { return folder_ / "COM1"; }

  void send(const std::string& bytes);
  // Everything that arrives until a ";" or until `timeoutMs` passes.
  std::string readReply(int timeoutMs = 500);
  // Everything that arrives within `timeoutMs`.
  std::string readFor(int timeoutMs);
  // Sends `query` and reads its reply.
  std::string ask(const std::string& query, int timeoutMs = 500);
  void turnKnob(const std::string& line);
  // Opens COM1 again, as the program does after a hang-up; false when the
  // link leads nowhere.
  bool reopen();
  // Waits until the port reports a hang-up; false after `timeoutMs`.
  bool waitForHangup(int timeoutMs);

  std::vector<std::string> logLines() const;
  // SIGTERM, then the exit status (waitpid form); -1 if it did not end.
  int terminate();
  // The exit status once it has ended by itself within `timeoutMs`.
  int waitForExit(int timeoutMs);

 private:
  std::filesystem::path folder_;
  pid_t pid_ = -1;
  int knobs_ = -1;
  int port_ = -1;
};
