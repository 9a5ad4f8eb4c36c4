// The simulator's end of the serial line: a pseudo-terminal in raw mode whose
// slave side is linked as FOLDER/COMn for the program under test to open.
#pragma once

#include <string>

class PtyLink {
 public:
  PtyLink() = default;
  ~PtyLink();
  PtyLink(const PtyLink&) = delete;
  PtyLink& operator=(const PtyLink&) = delete;

  // Opens the terminal and makes the link; false with `error` set on failure.
  bool open(const std::string& folder, int port, std::string& error);
  // Closes the master side: whoever has the port open sees a hang-up. The
  // link is removed.
  void hangUp();

  int masterFd() const { return master_; }
  const std::string& linkPath() const { return linkPath_; }

 private:
  void removeLink();

  int master_ = -1;
  int slave_ = -1;  // held open so the master never reads a hang-up itself
  std::string slaveName_;
  std::string linkPath_;
};
