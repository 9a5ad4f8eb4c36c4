// The simulator's end of the serial line: a pseudo-terminal in raw mode whose
// slave side is linked as FOLDER/COMn for the program under test to open.
// Unplugged, the link stays but leads nowhere, as the stable name of a USB
// adapter does once the adapter is pulled; plugged in again, it leads to a
// new terminal.
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
  // Closes the terminal: whoever has the port open sees a hang-up. The link
  // is left leading nowhere.
  void unplug();
  // A new terminal behind the same link; false with `error` set on failure.
  bool plug(std::string& error);
  bool plugged() const { return master_ >= 0; }
  // Closes the terminal and removes the link.
  void hangUp();

  int masterFd() const { return master_; }
  const std::string& linkPath() const { return linkPath_; }

 private:
  bool openTerminal(std::string& error);
  void closeTerminal();
  // Points the link at `target`, replacing only a link of ours or none.
  bool makeLink(const std::string& target, std::string& error);
  void removeLink();

  int master_ = -1;
  int slave_ = -1;  // held open so the master never reads a hang-up itself
  std::string slaveName_;
  std::string linkTarget_;  // what the link leads to now
  std::string linkPath_;
};
