// The hold on POSIX: an exclusive flock on the folder itself, so no file is
// made for it. The lock belongs to the open folder and goes with the process.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/folder_lock.h"

FolderLock::~FolderLock() {
  if (handle_ != 0) close(static_cast<int>(handle_ - 1));
}

bool FolderLock::hold() {
  if (handle_ != 0) return true;
  int folder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return runUnheld(std::strerror(errno));
  if (flock(folder, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    close(folder);
    return error == EWOULDBLOCK ? false : runUnheld(std::strerror(error));
  }
  handle_ = folder + 1;  // descriptor 0 is a descriptor too
  return true;
}
