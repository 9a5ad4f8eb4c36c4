// A file size limit for the tests of a full disk, on POSIX systems (the
// tests named *_posix_test.cpp, which the Windows build leaves out).
#pragma once

#include <sys/resource.h>

#include <csignal>

// Files written by this process may grow to at most `bytes` while it lives:
// a write beyond fails as on a full disk. The signal a write beyond the limit
// raises is ignored: the write fails.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(long long bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    previous_ = static_cast<long long>(limit.rlim_cur);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(previous_);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  long long previous_ = 0;
  void (*previousHandler_)(int) = nullptr;
};
