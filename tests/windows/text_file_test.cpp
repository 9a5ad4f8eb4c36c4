// What the text files refuse on Windows: a folder, a device name, a file
// with a second name (a hard link) to be written, and a file far larger than
// any of the program's. (Links and a full disk are left to the POSIX tests:
// making a link takes a privilege on Windows, and Wine shows a Unix link as
// the file it names.)
#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "front_panel_fixture.h"

namespace {

TEST(Win32TextFiles, OnlyPlainFilesAreOpened) {
  TemporaryDirectory folder;
  writeFileBytes("memory.dat", "channels");
  writeFileBytes("large.txt", std::string(TextFile::largestReadable + 1, 'x'));
  std::filesystem::create_directory("folder");
  std::filesystem::create_hard_link("memory.dat", "second-name");
  struct Case {
    const char* name;
    const char* mode;
    int result;
  };
  const Case cases[] = {
      {"folder", "R", 1},      {"folder", "W", 1},     {"NUL", "R", 1},
      {"NUL", "W", 1},         {"large.txt", "R", 1},  {"second-name", "W", 1},
      {"second-name", "R", 0}, {"memory.dat", "R", 0}, {"missing", "R", 1},
  };
  for (const Case& c : cases) {
    TextFile file;
    EXPECT_EQ(file.open(c.name, c.mode), c.result) << c.name << " " << c.mode;
    EXPECT_EQ(file.problem().empty(), c.result == 0 || std::string(c.name) == "missing")
        << c.name << " " << c.mode << ": " << file.problem();
  }
  EXPECT_EQ(readFileBytes("memory.dat"), "channels");

  // A new file replaces a file of its name, but no folder.
  TextFile file;
  ASSERT_EQ(file.create("large.txt"), 0);
  EXPECT_TRUE(file.writeLine("new"));
  EXPECT_TRUE(file.close());
  EXPECT_EQ(readFileBytes("large.txt"), "new\r\n");
  EXPECT_EQ(file.create("folder"), 1);
  EXPECT_TRUE(std::filesystem::is_directory("folder"));
}

}  // namespace
