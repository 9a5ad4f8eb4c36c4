#include "platform/text_file.h"

#include <cstdio>

// The ways of the operating system (what a plain file is, how a file is
// opened without waiting or following a link, how it reaches the disk) are
// in text_file_posix.cpp and text_file_win32.cpp; the build takes one.

TextFile::~TextFile() { close(); }

// Files that are not plain are recognised by their name first, so that none
// is opened (opening a device can act on it); the open itself never waits
// (a FIFO would wait for a writer), and what was opened is checked again.
int TextFile::open(const std::string& name, std::string_view mode) {
  close();
  problem_.clear();
  name_ = name;
  bytesWritten_ = 0;
  rotateAt_ = 0;
  if (mode == "R" || mode == "r") return openForReading(name);
  if (mode == "W" || mode == "w") return openForWriting(name);
  return fail("cannot be opened in mode " + std::string(mode));
}

int TextFile::create(const std::string& name) {
  close();
  problem_.clear();
  name_ = name;
  bytesWritten_ = 0;
  rotateAt_ = 0;
  return createFile(name);
}

int TextFile::fail(std::string why) {
  problem_ = std::move(why);
  return 1;
}

int TextFile::readLine(std::string& line, std::size_t capacity) {
  line.clear();
  lastLineLength_ = 0;
  if (file_ == nullptr || writing_) return -1;
  bool readAnything = false;
  for (;;) {
    int c = nextByte();
    if (c == EOF) break;
    readAnything = true;
    if (c == '\n') break;
    if (c == '\r') {
      int next = nextByte();
      if (next != '\n' && next != EOF) {
        std::ungetc(next, file_);
        --bytesRead_;
      }
      break;
    }
    ++lastLineLength_;
    if (line.size() < capacity) line.push_back(static_cast<char>(c));
  }
  return readAnything ? 0 : -1;
}

// Notepad's "UTF-8 with BOM" begins a file with the bytes EF BB BF, which
// are no text of it: they are passed over, so the first line reads as
// typed. Any other start is read from its first byte.
void TextFile::skipByteOrderMark() {
  unsigned char start[3] = {};
  if (std::fread(start, 1, sizeof start, file_) == sizeof start && start[0] == 0xEF &&
      start[1] == 0xBB && start[2] == 0xBF) {
    return;
  }
  std::rewind(file_);
}

int TextFile::nextByte() {
  if (failed_) return EOF;
  int c = std::getc(file_);
  if (c == EOF) {
    if (std::ferror(file_) != 0) {
      failed_ = true;
      problem_ = "cannot be read to its end";
    }
    return EOF;
  }
  if (++bytesRead_ > largestReadable) {
    failed_ = true;
    problem_ = "is larger than " + std::to_string(largestReadable) + " bytes";
    return EOF;
  }
  return c;
}

bool TextFile::writeLine(std::string_view text) {
  if (rotateAt_ > 0 && bytesWritten_ >= rotateAt_) rotate();
  if (file_ == nullptr || !writing_) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file_) == text.size() &&
            std::fwrite("\r\n", 1, 2, file_) == 2 && std::fflush(file_) == 0;
  if (!ok) failed_ = true;
  bytesWritten_ += static_cast<long long>(text.size()) + 2;
  return ok;
}

void TextFile::rotateAt(long long bytes, std::string oldEnding) {
  rotateAt_ = bytes;
  oldEnding_ = std::move(oldEnding);
}

// The full file goes aside; should that fail, the new file empties it. A
// file that cannot be opened anew leaves the log closed.
void TextFile::rotate() {
  long long limit = rotateAt_;
  std::string name = name_;
  std::string ending = oldEnding_;
  close();
  renameFile(name, name + ending);
  if (open(name, "W") == 0) rotateAt(limit, ending);
}

bool TextFile::close() {
  if (file_ == nullptr) return true;
  bool ok = !failed_;
  if (writing_) {
    ok = std::fflush(file_) == 0 && ok;
    ok = syncToDisk(file_) && ok;
  }
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  return ok;
}
