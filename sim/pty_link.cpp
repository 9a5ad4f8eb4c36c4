#include "sim/pty_link.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

PtyLink::~PtyLink() { hangUp(); }

bool PtyLink::open(const std::string& folder, int port, std::string& error) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    error = std::string("pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  slaveName_ = ptsname(master_);
  slave_ = ::open(slaveName_.c_str(), O_RDWR | O_NOCTTY);
  if (slave_ < 0) {
    error = slaveName_ + ": " + std::strerror(errno);
    return false;
  }
  // Raw: no echo of the replies back to us, no line editing, no CR/LF mapping.
  termios settings{};
  tcgetattr(slave_, &settings);
  cfmakeraw(&settings);
  cfsetispeed(&settings, B38400);
  cfsetospeed(&settings, B38400);
  tcsetattr(slave_, TCSANOW, &settings);
  // A reader that stops reading must not block the simulator.
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);

  linkPath_ = folder + "/COM" + std::to_string(port);
  struct stat existing{};
  if (lstat(linkPath_.c_str(), &existing) == 0) {
    if (!S_ISLNK(existing.st_mode)) {
      error = linkPath_ + " exists and is not a link; left alone";
      linkPath_.clear();
      return false;
    }
    unlink(linkPath_.c_str());  // a link left by an earlier run
  }
  if (symlink(slaveName_.c_str(), linkPath_.c_str()) != 0) {
    error = linkPath_ + ": " + std::strerror(errno);
    linkPath_.clear();
    return false;
  }
  return true;
}

void PtyLink::hangUp() {
  removeLink();
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
  slave_ = master_ = -1;
}

void PtyLink::removeLink() {
  if (linkPath_.empty()) return;
  // Only our own link: another simulator may have taken the name since.
  char target[PATH_MAX];
  const ssize_t length = readlink(linkPath_.c_str(), target, sizeof target - 1);
  if (length > 0 && std::string(target, static_cast<std::size_t>(length)) == slaveName_) {
    unlink(linkPath_.c_str());
  }
  linkPath_.clear();
}
