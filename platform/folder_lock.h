// The working folder held for one run of the program. A second program
// started in the same folder (a double start from a launcher, quelmo.exe
// double-clicked twice) finds it held and ends before it opens the port or
// reads "memory.dat": otherwise it would keep a stale copy of the memories
// and write it over the channels the first one stored. The hold ends with
// the process, however it ends, and leaves no file behind.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Holds the working folder. False only when another program holds it.
  // When the system cannot hold a folder at all (a file system without
  // locks), true, with a line on standard error: the program then runs as
  // it did before there was a hold.
  bool hold();

 private:
  std::intptr_t handle_ = 0;  // the held folder (POSIX) or name (Windows); 0 none
};

inline bool runUnheld(const std::string& why) {
  std::fprintf(stderr,
               "quelmo: the working folder cannot be held (%s): a second quelmo started in it "
               "would not be stopped\n",
               why.c_str());
  return true;
}
