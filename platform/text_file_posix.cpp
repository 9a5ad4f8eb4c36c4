// Text files on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/text_file.h"

namespace {

std::string errorText(int error) { return std::strerror(error); }

// What a name that is not a plain file is, for a message.
std::string kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "is a folder";
  if (S_ISLNK(mode)) return "is a link";
  if (S_ISFIFO(mode)) return "is a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device";
  return "is not a plain file";
}

std::string folderOf(const std::string& name) {
  std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

}  // namespace

int TextFile::openForReading(const std::string& name) {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) {
    return errno == ENOENT ? 1 : fail(errorText(errno));
  }
  if (!S_ISREG(info.st_mode)) return fail(kindOf(info.st_mode));
  int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return fail(errorText(errno));
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return fail(kindOf(info.st_mode));
  }
  if (info.st_size > largestReadable) {
    ::close(fd);
    return fail("is larger than " + std::to_string(largestReadable) + " bytes");
  }
  if (adopt(fd, false) != 0) return 1;
  skipByteOrderMark();
  return 0;
}

int TextFile::openForWriting(const std::string& name) {
  struct stat info {};
  if (::lstat(name.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    return fail(kindOf(info.st_mode));
  }
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                  0666);
  if (fd < 0) return fail(errno == ELOOP ? "is a link" : errorText(errno));
  std::string why;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    why = kindOf(info.st_mode);
  } else if (info.st_nlink > 1) {
    why = "has other names (a hard link)";
  } else if (::ftruncate(fd, 0) != 0) {
    why = errorText(errno);
  }
  if (!why.empty()) {
    ::close(fd);
    return fail(why);
  }
  return adopt(fd, true);
}

int TextFile::createFile(const std::string& name) {
  struct stat info {};
  if (::lstat(name.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return fail(kindOf(info.st_mode));
    ::unlink(name.c_str());
  }
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return fail(errorText(errno));
  return adopt(fd, true);
}

// The descriptor was opened not to wait. A plain file never does anyway,
// but some files of /proc wait for what they show (the kernel's messages):
// read, they stay so and fail at once; written, the file is an ordinary one.
int TextFile::adopt(int descriptor, bool writing) {
  int flags = ::fcntl(descriptor, F_GETFL);
  if (writing && flags >= 0) ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
  file_ = ::fdopen(descriptor, writing ? "wb" : "rb");
  if (file_ == nullptr) {
    ::close(descriptor);
    return fail(errorText(errno));
  }
  writing_ = writing;
  failed_ = false;
  bytesRead_ = 0;
  return 0;
}

bool TextFile::syncToDisk(std::FILE* file) { return ::fsync(::fileno(file)) == 0; }

bool deleteFile(const std::string& name) { return ::unlink(name.c_str()) == 0; }

bool renameFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return false;
  int folder = ::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

bool isReadOnly(const std::string& name) {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) return false;
  // Root may write any file, so the mode is looked at as well.
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(name.c_str(), W_OK) != 0;
}

std::string linkTarget(const std::string& name) {
  constexpr int mostLinks = 40;  // as the system itself follows
  std::string path = name;
  for (int hop = 0; hop < mostLinks; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string target(4096, '\0');
    ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return name;
    target.resize(static_cast<std::size_t>(length));
    if (target.front() != '/' && path.find('/') != std::string::npos) {
      target = path.substr(0, path.rfind('/') + 1) + target;  // relative to the link's folder
    }
    path = target;
  }
  return name;
}
