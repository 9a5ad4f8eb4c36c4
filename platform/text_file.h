// Text files in the working directory, read and written a line at a time.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// A file variable: holds an open file or nothing.
class TextFile {
 public:
  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();

  // Mode "R"/"r": an existing file, for reading. Mode "W"/"w": created, or
  // emptied when it exists, for writing. Result 0 on success, 1 on failure.
  int open(const std::string& name, std::string_view mode);

  // The next line, its terminator consumed: CR, LF or CR LF end a line (LF CR
  // ends two). At most capacity characters are kept; the rest of an overlong
  // line is consumed. At the end of the file the line is empty and the
  // result -1; otherwise 0.
  int readLine(std::string& line, std::size_t capacity = 254);

  // Writes the text followed by CR LF and hands it to the system at once, so
  // a log line is on disk when the event it records has happened. False when
  // the file is not open or the write failed.
  bool writeLine(std::string_view text);

  // Closes and empties the variable; does nothing when it holds no file.
  // False when a written file could not be completed (for example a full disk).
  bool close();

  bool isOpen() const { return file_ != nullptr; }

 private:
  std::FILE* file_ = nullptr;
  bool writing_ = false;
  bool failed_ = false;
};

bool deleteFile(const std::string& name);
// Replaces `to` by `from` in one step, so a reader sees the old file or the
// new one, never a half-written one.
bool renameFile(const std::string& from, const std::string& to);
