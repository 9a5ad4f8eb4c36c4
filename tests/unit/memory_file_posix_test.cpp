// What the memory file survives on POSIX systems: a full disk, links in
// its place, and a memory file that is a folder, a FIFO or a device.
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "file_size_limit.h"
#include "memory_file_fixture.h"

namespace {

using namespace memoryFiles;

TEST_F(MemoryFileTest, SaveCutShortByAFullDiskLeavesTheOldFile) {
  writeFileBytes("memory.dat", freshFile);
  panel.memoryChannel[0] = "2014200000";
  {
    FileSizeLimit full(100);
    EXPECT_FALSE(panel.saveMemoryFile());
  }
  EXPECT_EQ(readFileBytes("memory.dat"), freshFile);
  EXPECT_FALSE(std::filesystem::exists("memory.dat.new"));
}

// A link left as "memory.dat.new" is replaced, never written through; a
// "memory.dat" that is a link keeps being one, and the file it names is
// what is saved.
TEST_F(MemoryFileTest, LinksAreNeverWrittenThroughButMemoryDatLeadsToItsFile) {
  writeFileBytes("other.txt", "not the memories");
  std::filesystem::create_symlink("other.txt", "memory.dat.new");
  panel.memoryChannel[0] = "2014200000";
  EXPECT_TRUE(panel.saveMemoryFile());
  EXPECT_EQ(readFileBytes("other.txt"), "not the memories");
  EXPECT_EQ(linesOf(readFileBytes("memory.dat"))[14], "2014200000");
  EXPECT_FALSE(std::filesystem::exists("memory.dat.new"));

  std::filesystem::create_directory("kept");
  std::filesystem::rename("memory.dat", "kept/real.dat");
  std::filesystem::create_symlink("kept/real.dat", "memory.dat");
  prepare(panel);
  panel.loadMemoryFile();
  EXPECT_EQ(panel.memoryChannel[0], "2014200000");
  panel.freqDigits = "007100000";
  panel.lastReplyMode = 1;
  panel.storeChannel(5);  // saved at once
  EXPECT_TRUE(std::filesystem::is_symlink("memory.dat"));
  EXPECT_EQ(linesOf(readFileBytes("kept/real.dat"))[19], "1007100000");
  EXPECT_EQ(std::filesystem::directory_iterator("kept")->path().filename(), "real.dat");
}

// A "memory.dat" that leads to another file of the operator's (the station's
// quelmo.cfg, a notes file) is no memory file: neither a store nor the end
// writes over it, and the link stays.
TEST_F(MemoryFileTest, LinkToAnotherFileLeavesThatFileAsItIs) {
  const std::pair<const char*, const char*> others[] = {
      {"quelmo.cfg", "port1\r\nSPEED=38400\r\nPOWER=100\r\nSWR=0\r\n"},
      {"notes.txt", "Net on Sunday, 7.100 LSB.\nBring the key.\n"},
  };
  for (const auto& [name, content] : others) {
    SCOPED_TRACE(name);
    TemporaryDirectory folder;
    writeFileBytes(name, content);
    std::filesystem::create_symlink(name, "memory.dat");
    prepare(panel);
    panel.loadMemoryFile();
    platform.clearRecords();
    panel.storeChannel(4);
    EXPECT_EQ(words(), (Strings{"4", "ok", "notsaved"}));
    panel.endProgram(true);
    EXPECT_EQ(words().back(), "quit");
    EXPECT_TRUE(std::filesystem::is_symlink("memory.dat"));
    EXPECT_EQ(readFileBytes(name), content);
    EXPECT_FALSE(std::filesystem::exists(std::string(name) + ".new"));
    panel.ended = 0;
  }
}

// A read-only "memory.dat" is read, and left read-only and as it was: a
// store and the end say the memories were not saved.
TEST_F(MemoryFileTest, ReadOnlyFileIsReadAndNeverWritten) {
  Strings lines = linesOf(freshFile);
  lines[17] = "1007100000";  // channel 3
  writeFileBytes("memory.dat", fileOf(lines));
  const auto readOnly = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                        std::filesystem::perms::others_read;
  std::filesystem::permissions("memory.dat", readOnly);
  testing::internal::CaptureStderr();
  panel.loadMemoryFile();
  EXPECT_NE(testing::internal::GetCapturedStderr().find(
                "memory.dat is read-only: its memories are used, and nothing is saved to it"),
            std::string::npos);
  EXPECT_EQ(panel.memoryChannel[3], "1007100000");
  panel.freqDigits = "014200000";
  panel.lastReplyMode = 2;
  panel.storeChannel(5);
  EXPECT_EQ(words(), (Strings{"5", "ok", "notsaved"}));
  EXPECT_FALSE(panel.saveMemoryFile());
  EXPECT_EQ(readFileBytes("memory.dat"), fileOf(lines));
  EXPECT_EQ(std::filesystem::status("memory.dat").permissions(), readOnly);
}

// A "memory.dat" there is but cannot be read (not a plain file, too large,
// a read refused) may hold the operator's channels: the run goes on with
// the initial memories and never writes over it, and a store or the end
// says that nothing was saved.
TEST_F(MemoryFileTest, FileThatCannotBeReadIsNeverWrittenOver) {
  const std::string large(2 << 20, '9');
  const std::vector<std::pair<const char*, std::function<void()>>> kinds = {
      {"folder", [] { std::filesystem::create_directory("memory.dat"); }},
      {"FIFO", [] { ASSERT_EQ(::mkfifo("memory.dat", 0600), 0); }},
      {"link to /dev/zero", [] { std::filesystem::create_symlink("/dev/zero", "memory.dat"); }},
      {"too large", [&large] { writeFileBytes("memory.dat", large); }},
      {"endless, its size 0",
       [] { std::filesystem::create_symlink("/proc/self/pagemap", "memory.dat"); }},
  };
  for (const auto& [kind, make] : kinds) {
    SCOPED_TRACE(kind);
    TemporaryDirectory folder;
    make();
    auto before = std::filesystem::symlink_status("memory.dat").type();
    prepare(panel);
    panel.memoryFileKept = 0;
    panel.loadMemoryFile();
    EXPECT_EQ(panel.memoryFileKept, 1);
    EXPECT_EQ(panel.bandFrequency[4], "FA007100000");
    platform.clearRecords();
    panel.storeChannel(2);
    EXPECT_EQ(words(), (Strings{"2", "ok", "notsaved"}));
    EXPECT_EQ(std::filesystem::symlink_status("memory.dat").type(), before);
    EXPECT_FALSE(std::filesystem::exists("memory.dat.new"));
    if (std::string(kind) == "too large") {
      EXPECT_EQ(readFileBytes("memory.dat"), large);
    }
  }
}

}  // namespace
