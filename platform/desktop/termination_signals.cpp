#include "platform/desktop/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace terminationSignals {

namespace {

constexpr int asked[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

std::atomic<bool> arrived{false};
int wakeRead = -1;
int wakeWrite = -1;

// Only what a signal handler may do: note it and write one byte.
void onSignal(int) {
  int saved = errno;
  arrived.store(true);
  if (wakeWrite >= 0) {
    char byte = 1;
    [[maybe_unused]] ssize_t ignored = write(wakeWrite, &byte, 1);
  }
  errno = saved;
}

}  // namespace

void install() {
  if (wakeRead >= 0) return;
  int ends[2];
  if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) return;
  wakeRead = ends[0];
  wakeWrite = ends[1];
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : asked) sigaction(number, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

int wakeDescriptor() { return wakeRead; }

bool pending() { return arrived.load(); }

bool take() {
  if (!arrived.exchange(false)) return false;
  char bytes[64];
  while (read(wakeRead, bytes, sizeof bytes) > 0) {
  }
  return true;
}

}  // namespace terminationSignals
