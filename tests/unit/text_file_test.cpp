#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "platform/text_file.h"

namespace {

struct LineRead {
  std::string text;
  int result;
};

// Every line of the file, then the first read past its end.
std::vector<LineRead> readAllLines(const std::string& name, std::size_t capacity = 254) {
  TextFile file;
  std::vector<LineRead> lines;
  EXPECT_EQ(file.open(name, "R"), 0);
  for (int guard = 0; guard < 100; ++guard) {
    LineRead line;
    line.result = file.readLine(line.text, capacity);
    lines.push_back(line);
    if (line.result == -1) break;
  }
  return lines;
}

std::vector<std::string> textsOf(const std::vector<LineRead>& lines) {
  std::vector<std::string> texts;
  for (const auto& line : lines) texts.push_back(line.text);
  return texts;
}

TEST(TextFileReading, EveryKindOfLineEndEndsOneLine) {
  TemporaryDirectory folder;
  writeFileBytes("mixed.txt", "cr\rlf\ncrlf\r\nlfcr\n\rlast");
  auto lines = readAllLines("mixed.txt");
  EXPECT_EQ(textsOf(lines),
            (std::vector<std::string>{"cr", "lf", "crlf", "lfcr", "", "last", ""}));
  EXPECT_EQ(lines[4].result, 0);  // the empty line between LF and CR was read
  EXPECT_EQ(lines[5].result, 0);  // a last line without terminator counts
  EXPECT_EQ(lines.back().result, -1);
}

TEST(TextFileReading, CrOnlyFileReadsLikeCrLf) {
  TemporaryDirectory folder;
  writeFileBytes("cr.txt", "COM=3\rBAUD= 4800\r");
  writeFileBytes("crlf.txt", "COM=3\r\nBAUD= 4800\r\n");
  EXPECT_EQ(textsOf(readAllLines("cr.txt")), textsOf(readAllLines("crlf.txt")));
  EXPECT_EQ(textsOf(readAllLines("cr.txt")), (std::vector<std::string>{"COM=3", "BAUD= 4800", ""}));
}

TEST(TextFileReading, EndOfFileGivesEmptyTextAgainAndAgain) {
  TemporaryDirectory folder;
  writeFileBytes("one.txt", "x\r");
  TextFile file;
  ASSERT_EQ(file.open("one.txt", "R"), 0);
  std::string line = "stale";
  EXPECT_EQ(file.readLine(line), 0);
  EXPECT_EQ(line, "x");
  for (int i = 0; i < 3; ++i) {
    line = "stale";
    EXPECT_EQ(file.readLine(line), -1);
    EXPECT_EQ(line, "");
  }
  writeFileBytes("empty.txt", "");
  EXPECT_EQ(textsOf(readAllLines("empty.txt")), (std::vector<std::string>{""}));
}

TEST(TextFileReading, OverlongLineIsCutAndTheNextLineStartsCleanly) {
  TemporaryDirectory folder;
  writeFileBytes("long.txt", std::string(300, 'a') + "\r\nnext\r" + std::string(10, 'b') + "\n");
  EXPECT_EQ(textsOf(readAllLines("long.txt")),
            (std::vector<std::string>{std::string(254, 'a'), "next", std::string(10, 'b'), ""}));
  EXPECT_EQ(textsOf(readAllLines("long.txt", 4)),
            (std::vector<std::string>{"aaaa", "next", "bbbb", ""}));

  // The length a line had before it was cut, for a message that names it.
  TextFile file;
  ASSERT_EQ(file.open("long.txt", "R"), 0);
  std::string line;
  for (std::size_t length : {300u, 4u, 10u, 0u}) {
    file.readLine(line);
    EXPECT_EQ(file.lastLineLength(), length);
  }
}

TEST(TextFileReading, BinaryBytesPassThroughUnchanged) {
  TemporaryDirectory folder;
  std::string junk("\0\x01\xff\x80z", 5);
  writeFileBytes("junk.txt", junk + "\n");
  EXPECT_EQ(textsOf(readAllLines("junk.txt")), (std::vector<std::string>{junk, ""}));
}

// Notepad's "UTF-8 with BOM" puts EF BB BF before the first line: no part
// of it. Only a whole mark, only at the start, is passed over.
TEST(TextFileReading, AByteOrderMarkAtTheStartIsNoPartOfTheFirstLine) {
  TemporaryDirectory folder;
  const std::string mark = "\xEF\xBB\xBF";
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {mark + "COM12\r\nSPEED=38400\r\n", {"COM12", "SPEED=38400", ""}},
      {mark, {""}},
      {mark + "\r\n", {"", ""}},
      {"\xEF\xBB", {"\xEF\xBB", ""}},
      {"\xEF\xBBX\n", {"\xEF\xBBX", ""}},
      {"A\n" + mark + "B\n", {"A", mark + "B", ""}},
      {mark + mark + "C", {mark + "C", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    writeFileBytes("marked.txt", c.bytes);
    EXPECT_EQ(textsOf(readAllLines("marked.txt")), c.lines);
  }
}

TEST(TextFileOpening, ModesAndMissingFiles) {
  TemporaryDirectory folder;
  TextFile file;
  EXPECT_EQ(file.open("missing.txt", "R"), 1);
  EXPECT_FALSE(file.isOpen());
  std::string line = "stale";
  EXPECT_EQ(file.readLine(line), -1);
  EXPECT_EQ(line, "");
  EXPECT_EQ(file.open("missing.txt", "Q"), 1);
  EXPECT_FALSE(std::filesystem::exists("missing.txt"));

  writeFileBytes("old.txt", "old contents\r\n");
  EXPECT_EQ(file.open("old.txt", "r"), 0);
  file.close();
  EXPECT_EQ(file.open("old.txt", "w"), 0);  // emptied
  EXPECT_TRUE(file.close());
  EXPECT_EQ(readFileBytes("old.txt"), "");
}

TEST(TextFileWriting, LinesEndInCrLfAndAreOnDiskAtOnce) {
  TemporaryDirectory folder;
  TextFile file;
  ASSERT_EQ(file.open("out.txt", "W"), 0);
  EXPECT_TRUE(file.writeLine("TX=FA;"));
  EXPECT_TRUE(file.writeLine(""));
  EXPECT_EQ(readFileBytes("out.txt"), "TX=FA;\r\n\r\n");  // before close
  EXPECT_TRUE(file.close());
  EXPECT_FALSE(file.isOpen());
  EXPECT_TRUE(file.close());  // closing an empty variable does nothing
  EXPECT_FALSE(file.writeLine("after close"));
  EXPECT_EQ(readFileBytes("out.txt"), "TX=FA;\r\n\r\n");
}

// A log that reaches its size goes aside, replacing the part set aside
// before, and a new file takes the next line: never more than two parts.
TEST(TextFileWriting, LogIsRotatedAtItsSize) {
  TemporaryDirectory folder;
  writeFileBytes("log.dat.old", "an earlier run's part");
  TextFile log;
  ASSERT_EQ(log.open("log.dat", "W"), 0);
  log.rotateAt(20, ".old");
  for (const char* line : {"line 1", "line 2", "line 3", "line 4", "line 5", "line 6", "line 7"}) {
    EXPECT_TRUE(log.writeLine(line));
  }
  EXPECT_TRUE(log.close());
  EXPECT_EQ(readFileBytes("log.dat.old"), "line 4\r\nline 5\r\nline 6\r\n");
  EXPECT_EQ(readFileBytes("log.dat"), "line 7\r\n");

  // Without rotateAt a file grows as it is written.
  ASSERT_EQ(log.open("log.dat", "W"), 0);
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(log.writeLine("line"));
  EXPECT_TRUE(log.close());
  EXPECT_EQ(readFileBytes("log.dat").size(), 60u);
}

TEST(TextFileNames, DeleteAndRenameReplacingTheTarget) {
  TemporaryDirectory folder;
  writeFileBytes("new.tmp", "new");
  writeFileBytes("memory.dat", "old");
  EXPECT_TRUE(renameFile("new.tmp", "memory.dat"));
  EXPECT_EQ(readFileBytes("memory.dat"), "new");
  EXPECT_FALSE(std::filesystem::exists("new.tmp"));
  EXPECT_TRUE(deleteFile("memory.dat"));
  EXPECT_FALSE(std::filesystem::exists("memory.dat"));
  EXPECT_FALSE(deleteFile("memory.dat"));
}

}  // namespace
