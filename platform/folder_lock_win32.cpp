// The hold on Windows: a named mutex whose name is made from the folder's
// full path, so no file is made for it. Windows destroys it when the last
// handle goes, at the latest when the process ends. The name is in the
// Global namespace, so a program started in another session (another user
// signed in) finds the folder held too.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/folder_lock.h"

namespace {

// The folder's path as Windows resolves it (links, drive letters made with
// subst), in capitals: names differ only in case on Windows. Empty when
// neither can be had.
std::wstring folderPath() {
  std::wstring path(32768, L'\0');
  DWORD length = 0;
  HANDLE folder = CreateFileW(L".", 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder != INVALID_HANDLE_VALUE) {
    length = GetFinalPathNameByHandleW(folder, path.data(), static_cast<DWORD>(path.size()),
                                       FILE_NAME_NORMALIZED);
    CloseHandle(folder);
  }
  if (length == 0 || length >= path.size()) {
    length = GetFullPathNameW(L".", static_cast<DWORD>(path.size()), path.data(), nullptr);
  }
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  CharUpperBuffW(path.data(), length);
  return path;
}

// A mutex name holds no backslash and is at most MAX_PATH long: the path
// goes into it as a 64-bit FNV-1a digest.
std::wstring mutexName(const std::wstring& path) {
  unsigned long long digest = 14695981039346656037ULL;
  for (wchar_t c : path) {
    digest = (digest ^ static_cast<unsigned long long>(c)) * 1099511628211ULL;
  }
  wchar_t name[64];
  std::swprintf(name, 64, L"Global\\quelmo-folder-%016llx", digest);
  return name;
}

}  // namespace

FolderLock::~FolderLock() {
  if (handle_ != 0) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool FolderLock::hold() {
  if (handle_ != 0) return true;
  std::wstring path = folderPath();
  if (path.empty()) return runUnheld("no path, error " + std::to_string(GetLastError()));
  HANDLE mutex = CreateMutexW(nullptr, FALSE, mutexName(path).c_str());
  DWORD error = GetLastError();
  // Held by a program of another user: its mutex may not be opened.
  if (mutex == nullptr) {
    return error == ERROR_ACCESS_DENIED ? false : runUnheld("error " + std::to_string(error));
  }
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
  return true;
}
