// Text files on Windows. A plain file is a disk file that is neither a
// folder nor a link (a reparse point); a device name (NUL, CON, COM1) opens a
// device, which is refused before anything is read or written.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/text_file.h"

namespace {

std::string errorText(DWORD error) {
  char text[256] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                        text[length - 1] == ' ' || text[length - 1] == '.')) {
    text[--length] = '\0';
  }
  return length > 0 ? text : "error " + std::to_string(error);
}

bool missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// What a name that is not a plain file is, for a message; empty for a plain
// file or none at all.
std::string kindOf(DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return "is a link";
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "is a folder";
  return {};
}

// Why an open handle is not a plain file one may write alone; empty when it
// is one.
std::string notPlain(HANDLE file, bool writing) {
  if (GetFileType(file) != FILE_TYPE_DISK) return "is a device";
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return errorText(GetLastError());
  if (std::string kind = kindOf(info.dwFileAttributes); !kind.empty()) return kind;
  if (writing && info.nNumberOfLinks > 1) return "has other names (a hard link)";
  return {};
}

// The C library's descriptor of the file; -1, the handle closed, when there
// is none to be had.
int descriptorOf(HANDLE file, bool writing) {
  int descriptor =
      _open_osfhandle(reinterpret_cast<intptr_t>(file), writing ? _O_WRONLY : _O_RDONLY);
  if (descriptor < 0) CloseHandle(file);
  return descriptor;
}

}  // namespace

int TextFile::openForReading(const std::string& name) {
  DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    return missing(error) ? 1 : fail(errorText(error));
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return fail("is a folder");
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return fail(errorText(GetLastError()));
  std::string why = notPlain(file, false);
  LARGE_INTEGER size{};
  if (why.empty() && (!GetFileSizeEx(file, &size) || size.QuadPart > largestReadable)) {
    why = "is larger than " + std::to_string(largestReadable) + " bytes";
  }
  if (!why.empty()) {
    CloseHandle(file);
    return fail(why);
  }
  if (adopt(descriptorOf(file, false), false) != 0) return 1;
  skipByteOrderMark();
  return 0;
}

// A link in the file's place is opened as the link itself, and refused.
int TextFile::openForWriting(const std::string& name) {
  if (std::string kind = kindOf(GetFileAttributesA(name.c_str())); !kind.empty()) return fail(kind);
  HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return fail(errorText(GetLastError()));
  std::string why = notPlain(file, true);
  if (why.empty() && !SetEndOfFile(file)) why = errorText(GetLastError());
  if (!why.empty()) {
    CloseHandle(file);
    return fail(why);
  }
  return adopt(descriptorOf(file, true), true);
}

int TextFile::createFile(const std::string& name) {
  DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return fail("is a folder");
    DeleteFileA(name.c_str());  // a link goes, not what it names
  }
  HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return fail(errorText(GetLastError()));
  return adopt(descriptorOf(file, true), true);
}

int TextFile::adopt(int descriptor, bool writing) {
  if (descriptor < 0) return fail("cannot be opened");
  file_ = ::_fdopen(descriptor, writing ? "wb" : "rb");
  if (file_ == nullptr) {
    ::_close(descriptor);
    return fail("cannot be opened");
  }
  writing_ = writing;
  failed_ = false;
  bytesRead_ = 0;
  return 0;
}

bool TextFile::syncToDisk(std::FILE* file) { return ::_commit(::_fileno(file)) == 0; }

bool deleteFile(const std::string& name) { return DeleteFileA(name.c_str()) != 0; }

// Windows' rename() refuses to replace a file that exists; the move does,
// in one step, and is on disk when it returns.
bool renameFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool isReadOnly(const std::string& name) {
  DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// A link is followed to the file it names by opening that file; a link that
// leads nowhere stays as it is.
std::string linkTarget(const std::string& name) {
  DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return name;
  }
  HANDLE file = CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return name;
  char path[MAX_PATH + 8] = {};
  DWORD length = GetFinalPathNameByHandleA(file, path, sizeof path, FILE_NAME_NORMALIZED);
  CloseHandle(file);
  if (length == 0 || length >= sizeof path) return name;
  std::string target(path, length);
  if (target.rfind("\\\\?\\", 0) == 0) target.erase(0, 4);  // the long-path prefix
  return target;
}
