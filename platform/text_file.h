// Text files in the working directory, read and written a line at a time.
// Only plain files are read or written: a folder, a device, a FIFO or a
// socket in a file's place is refused at once, never waited on, and a file
// is created without following a link in its place. A file is read only up
// to largestReadable bytes, counted as they are read: what the system says
// of its size does not count (a file of /proc says 0 and can be endless).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// A file variable: holds an open file or nothing.
class TextFile {
 public:
  // The program's own text files are a few hundred bytes; anything larger
  // is not one of them, and reading it could take without end (a sparse or
  // endless file).
  static constexpr long long largestReadable = 1 << 20;

  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();

  // Mode "R"/"r": an existing plain file of at most largestReadable bytes,
  // for reading; reading stops there, as a failure, should it hold more.
  // Mode "W"/"w": a plain file, created, or emptied when it exists; a name
  // that is a link, or a file that has other names (a hard link), is
  // refused rather than written through. Result 0 on success, 1 on failure;
  // problem() then says why.
  int open(const std::string& name, std::string_view mode);

  // A new file for writing in place of whatever had the name: a link or a
  // file left there is removed (not followed), and the file is created
  // anew, so nothing else is written through the name. A folder of that
  // name is not removed: the creation fails. Result as open().
  int create(const std::string& name);

  // Why the last open or create failed, or why reading stopped short, for
  // a message: empty when nothing failed, and when the file to read does
  // not exist.
  const std::string& problem() const { return problem_; }

  // A UTF-8 byte-order mark at the start of the file is no part of its first
  // line (Notepad's "UTF-8 with BOM").
  // The next line, its terminator consumed: CR, LF or CR LF end a line (LF CR
  // ends two). At most capacity characters are kept; the rest of an overlong
  // line is consumed. At the end of the file the line is empty and the
  // result -1; otherwise 0.
  int readLine(std::string& line, std::size_t capacity = 254);
  // How many characters the line last read had, before it was cut to the
  // capacity.
  std::size_t lastLineLength() const { return lastLineLength_; }

  // Writes the text followed by CR LF and hands it to the system at once, so
  // a log line is on disk when the event it records has happened. False when
  // the file is not open or the write failed.
  bool writeLine(std::string_view text);

  // For a log written without end: once the file has reached `bytes`, the
  // next line starts a new one, the full one keeping its name with
  // `oldEnding` added (in place of an earlier one). The log then never takes
  // more than twice that.
  void rotateAt(long long bytes, std::string oldEnding);

  // Closes and empties the variable; does nothing when it holds no file.
  // False when a written file could not be completed (for example a full
  // disk) or a read failed.
  bool close();

  bool isOpen() const { return file_ != nullptr; }

 private:
  void skipByteOrderMark();  // of a file just opened for reading
  int openForReading(const std::string& name);
  void rotate();
  int openForWriting(const std::string& name);
  int createFile(const std::string& name);
  int adopt(int descriptor, bool writing);
  // The next byte read, or EOF: at the end, after a failed read, or when the
  // file holds more than largestReadable bytes.
  int nextByte();
  // Hands what was written to the disk, so that it survives a power cut.
  static bool syncToDisk(std::FILE* file);
  int fail(std::string why);  // 1, with the reason kept

  std::FILE* file_ = nullptr;
  bool writing_ = false;
  bool failed_ = false;
  long long bytesRead_ = 0;
  std::string name_;  // of the file being written
  long long bytesWritten_ = 0;
  long long rotateAt_ = 0;  // 0: never
  std::string oldEnding_;
  std::size_t lastLineLength_ = 0;
  std::string problem_;
};

bool deleteFile(const std::string& name);
// Replaces `to` by `from` in one step, so a reader sees the old file or the
// new one, never a half-written one; the replacement is on disk when this
// returns.
bool renameFile(const std::string& from, const std::string& to);
// True when the file exists and may not be written: it is marked read-only
// (no write permission at all on POSIX, whoever asks; the read-only
// attribute on Windows), or this user may not write it.
bool isReadOnly(const std::string& name);
// The file a name leads to: the name itself, or, when it is a symbolic link,
// what the link names, followed through further links. The file need not
// exist. A name whose links go round in a circle stays as it is.
std::string linkTarget(const std::string& name);
