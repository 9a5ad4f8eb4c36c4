#include "sim/pty_link.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Where the link of an unplugged adapter leads: nowhere.
constexpr const char* nowhere = "/dev/quelmo-sim-unplugged";

std::string readLink(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
  return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

PtyLink::~PtyLink() { hangUp(); }

bool PtyLink::open(const std::string& folder, int port, std::string& error) {
  if (!openTerminal(error)) return false;
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
  if (!makeLink(slaveName_, error)) {
    linkPath_.clear();
    return false;
  }
  return true;
}

void PtyLink::unplug() {
  closeTerminal();
  std::string ignored;
  if (!linkPath_.empty()) makeLink(nowhere, ignored);
}

bool PtyLink::plug(std::string& error) {
  if (plugged()) return true;
  return openTerminal(error) && makeLink(slaveName_, error);
}

void PtyLink::hangUp() {
  removeLink();
  closeTerminal();
}

bool PtyLink::openTerminal(std::string& error) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    error = std::string("pseudo-terminal: ") + std::strerror(errno);
    closeTerminal();
    return false;
  }
  slaveName_ = ptsname(master_);
  slave_ = ::open(slaveName_.c_str(), O_RDWR | O_NOCTTY);
  if (slave_ < 0) {
    error = slaveName_ + ": " + std::strerror(errno);
    closeTerminal();
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
  return true;
}

void PtyLink::closeTerminal() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
  slave_ = master_ = -1;
}

bool PtyLink::makeLink(const std::string& target, std::string& error) {
  // Only our own link is replaced: another simulator may have taken the name.
  if (!linkTarget_.empty()) {
    if (readLink(linkPath_) != linkTarget_) {
      error = linkPath_ + " was taken by someone else";
      return false;
    }
    unlink(linkPath_.c_str());
  }
  linkTarget_.clear();
  if (symlink(target.c_str(), linkPath_.c_str()) != 0) {
    error = linkPath_ + ": " + std::strerror(errno);
    return false;
  }
  linkTarget_ = target;
  return true;
}

void PtyLink::removeLink() {
  if (linkPath_.empty()) return;
  if (!linkTarget_.empty() && readLink(linkPath_) == linkTarget_) unlink(linkPath_.c_str());
  linkTarget_.clear();
  linkPath_.clear();
}
