#include "platform/text_file.h"

#include <unistd.h>

#include <cstdio>

TextFile::~TextFile() { close(); }

int TextFile::open(const std::string& name, std::string_view mode) {
  close();
  if (mode == "R" || mode == "r") {
    file_ = std::fopen(name.c_str(), "rb");
    writing_ = false;
  } else if (mode == "W" || mode == "w") {
    file_ = std::fopen(name.c_str(), "wb");
    writing_ = true;
  }
  failed_ = false;
  return file_ != nullptr ? 0 : 1;
}

int TextFile::readLine(std::string& line, std::size_t capacity) {
  line.clear();
  if (file_ == nullptr || writing_) return -1;
  bool readAnything = false;
  for (;;) {
    int c = std::getc(file_);
    if (c == EOF) break;
    readAnything = true;
    if (c == '\n') break;
    if (c == '\r') {
      int next = std::getc(file_);
      if (next != '\n' && next != EOF) std::ungetc(next, file_);
      break;
    }
    if (line.size() < capacity) line.push_back(static_cast<char>(c));
  }
  return readAnything ? 0 : -1;
}

bool TextFile::writeLine(std::string_view text) {
  if (file_ == nullptr || !writing_) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file_) == text.size() &&
            std::fwrite("\r\n", 1, 2, file_) == 2 && std::fflush(file_) == 0;
  if (!ok) failed_ = true;
  return ok;
}

bool TextFile::close() {
  if (file_ == nullptr) return true;
  bool ok = !failed_;
  if (writing_) {
    ok = std::fflush(file_) == 0 && ok;
    ok = ::fsync(::fileno(file_)) == 0 && ok;
  }
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  return ok;
}

bool deleteFile(const std::string& name) { return std::remove(name.c_str()) == 0; }

bool renameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}
