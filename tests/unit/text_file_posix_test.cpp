// What the text files refuse on POSIX systems: FIFOs, devices, links and
// hard links, and a write that a full disk cuts short.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "file_size_limit.h"
#include "front_panel_fixture.h"
#include "platform/text_file.h"

namespace {

// Only plain files are read or written, and nothing waits on what is not
// one: a FIFO, a device, a folder, a link where a file is to be written, a
// file with a second name, a file far larger than any of the program's.
TEST(TextFileOpening, OnlyPlainFilesAreOpenedAndNothingWaits) {
  TemporaryDirectory folder;
  writeFileBytes("memory.dat", "channels");
  writeFileBytes("large.txt", std::string(TextFile::largestReadable + 1, 'x'));
  ASSERT_EQ(::mkfifo("fifo", 0600), 0);
  std::filesystem::create_directory("folder");
  std::filesystem::create_symlink("/dev/zero", "zero");
  std::filesystem::create_symlink("memory.dat", "link");
  std::filesystem::create_hard_link("memory.dat", "second-name");
  struct Case {
    const char* name;
    const char* mode;
    int result;
  };
  const Case cases[] = {
      {"fifo", "R", 1},  {"fifo", "W", 1},   {"folder", "R", 1},      {"folder", "W", 1},
      {"zero", "R", 1},  {"zero", "W", 1},   {"large.txt", "R", 1},   {"link", "R", 0},
      {"link", "W", 1},  {"second-name", "W", 1}, {"missing", "R", 1},
  };
  for (const Case& c : cases) {
    TextFile file;
    EXPECT_EQ(file.open(c.name, c.mode), c.result) << c.name << " " << c.mode;
    EXPECT_EQ(file.problem().empty(), c.result == 0 || std::string(c.name) == "missing")
        << c.name << " " << c.mode << ": " << file.problem();
  }
  EXPECT_EQ(readFileBytes("memory.dat"), "channels");

  // A new file replaces whatever has its name, a link included, but no folder.
  TextFile file;
  ASSERT_EQ(file.create("link"), 0);
  EXPECT_TRUE(file.writeLine("new"));
  EXPECT_TRUE(file.close());
  EXPECT_FALSE(std::filesystem::is_symlink("link"));
  EXPECT_EQ(readFileBytes("memory.dat"), "channels");
  EXPECT_EQ(file.create("folder"), 1);
  EXPECT_TRUE(std::filesystem::is_directory("folder"));
}

// A file whose size says nothing (those of /proc say 0) is read only up to
// the bound, counted as it is read: past it, reading stops as a failure.
TEST(TextFileReading, ReadingStopsAtTheBoundWhateverTheSizeSays) {
  TemporaryDirectory folder;
  std::filesystem::create_symlink("/proc/self/pagemap", "endless");  // 8 bytes a page of memory
  TextFile file;
  ASSERT_EQ(file.open("endless", "R"), 0);
  std::string line;
  long long lines = 0;
  while (file.readLine(line) == 0 && lines < TextFile::largestReadable + 2) ++lines;
  EXPECT_LE(lines, TextFile::largestReadable);
  EXPECT_FALSE(file.close());
  EXPECT_EQ(file.problem(), "is larger than 1048576 bytes");

  // A file that holds just the bound is read whole.
  writeFileBytes("full.txt", std::string(TextFile::largestReadable - 2, 'x') + "\r\n");
  ASSERT_EQ(file.open("full.txt", "R"), 0);
  EXPECT_EQ(file.readLine(line), 0);
  EXPECT_EQ(file.lastLineLength(), static_cast<std::size_t>(TextFile::largestReadable - 2));
  EXPECT_EQ(file.readLine(line), -1);
  EXPECT_TRUE(file.close());
  EXPECT_EQ(file.problem(), "");
}

// Read-only is what the mode says for everyone, root included, as well as
// what this user may not write.
TEST(TextFileNames, ReadOnlyFiles) {
  TemporaryDirectory folder;
  writeFileBytes("kept.dat", "x");
  writeFileBytes("open.dat", "x");
  std::filesystem::permissions("kept.dat", std::filesystem::perms::owner_read |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
  std::filesystem::create_symlink("kept.dat", "link.dat");
  EXPECT_TRUE(isReadOnly("kept.dat"));
  EXPECT_TRUE(isReadOnly("link.dat"));
  EXPECT_FALSE(isReadOnly("open.dat"));
  EXPECT_FALSE(isReadOnly("missing.dat"));
}

TEST(TextFileNames, LinkTargetFollowsLinksToTheFileTheyName) {
  TemporaryDirectory folder;
  std::filesystem::create_directories("a/b");
  std::filesystem::create_symlink("b/real.dat", "a/step");  // relative to its folder
  std::filesystem::create_symlink("a/step", "memory.dat");
  EXPECT_EQ(linkTarget("memory.dat"), "a/b/real.dat");  // need not exist
  std::filesystem::create_symlink("round", "round");
  EXPECT_EQ(linkTarget("round"), "round");
  EXPECT_EQ(linkTarget("plain"), "plain");
}

TEST(TextFileWriting, FailedWriteIsReportedByWriteLineAndByClose) {
  TemporaryDirectory folder;
  TextFile file;
  ASSERT_EQ(file.open("out.txt", "W"), 0);
  FileSizeLimit full(4);
  EXPECT_FALSE(file.writeLine("no room"));
  EXPECT_FALSE(file.close());
  EXPECT_FALSE(file.isOpen());
}

}  // namespace
