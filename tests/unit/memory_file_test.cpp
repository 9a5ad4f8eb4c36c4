#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "memory_file_fixture.h"

namespace {

using namespace memoryFiles;

TEST_F(MemoryFileTest, MissingFileIsCreatedFreshAndReadBack) {
  panel.loadMemoryFile();
  EXPECT_EQ(readFileBytes("memory.dat"), freshFile);
  EXPECT_FALSE(std::filesystem::exists("memory.dat.new"));
  EXPECT_EQ(panel.bandHz[4], 7100000);
  EXPECT_EQ(panel.bandMode[13], "5");
  for (int channel = 0; channel < 10; ++channel) {
    platform.clearRecords();
    panel.recallChannel(channel);
    EXPECT_EQ(words().back(), "invalid");
    EXPECT_TRUE(commands().empty());
  }
}

TEST_F(MemoryFileTest, StoredChannelIsRecalledWithItsModeAndFrequency) {
  panel.lastReplyMode = 1;
  panel.reportedHz = 7100000;
  panel.channelAction = ChannelAction::store;
  panel.storeChannel(3);
  EXPECT_EQ(panel.memoryChannel[3], "1007100000");
  EXPECT_EQ(panel.channelAction, ChannelAction::none);
  EXPECT_EQ(words(), (Strings{"3", "ok"}));
  EXPECT_EQ(commands(), Strings{"FA;"});  // where the radio is, asked first
  EXPECT_EQ(linesOf(readFileBytes("memory.dat"))[17], "1007100000");  // saved at once

  platform.clearRecords();
  panel.modeIndex = 2;
  panel.frequencyHz = 14'200'000;
  panel.channelAction = ChannelAction::recall;
  panel.recallChannel(3);
  EXPECT_EQ(commands(), (Strings{"FA;", "MD01;", "FA014200000;", "FA007100000;"}));
  EXPECT_EQ(words(), (Strings{"3", "ok"}));
  EXPECT_EQ(panel.channelAction, ChannelAction::none);

  platform.clearRecords();
  panel.channelAction = ChannelAction::recall;
  panel.recallChannel(5);
  EXPECT_EQ(words(), (Strings{"5", "invalid"}));
  EXPECT_TRUE(commands().empty());
  EXPECT_EQ(panel.channelAction, ChannelAction::none);
}

TEST_F(MemoryFileTest, SavedMemoriesAreReadBackByTheNextRun) {
  panel.lastReplyMode = 1;
  panel.reportedHz = 7100000;
  panel.storeChannel(3);
  radioReported(14074000);
  panel.lastReplyMode = 3;
  panel.trackBand();
  panel.saveMemoryFile();

  std::string saved = readFileBytes("memory.dat");
  Strings lines = linesOf(saved);
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_EQ(fileOf(lines), saved);
  EXPECT_EQ(lines[6], "3014074000");   // band 6
  EXPECT_EQ(lines[17], "1007100000");  // channel 3

  ScriptedPlatform nextPlatform;
  FrontPanel next(nextPlatform);
  prepare(next);
  next.loadMemoryFile();
  EXPECT_EQ(next.bandHz, panel.bandHz);
  EXPECT_EQ(next.bandMode, panel.bandMode);
  EXPECT_EQ(next.memoryChannel, panel.memoryChannel);
  EXPECT_EQ(readFileBytes("memory.dat"), saved);
}

TEST_F(MemoryFileTest, SaveThatCannotCompleteLeavesTheOldFile) {
  writeFileBytes("memory.dat", freshFile);
  std::filesystem::create_directory("memory.dat.new");
  panel.memoryChannel[0] = "2014200000";
  EXPECT_FALSE(panel.saveMemoryFile());
  EXPECT_EQ(readFileBytes("memory.dat"), freshFile);
}

TEST_F(MemoryFileTest, FileThatCanNeitherBeReadNorCreatedLeavesTheTables) {
  std::filesystem::create_directory("memory.dat.new");
  panel.loadMemoryFile();  // returns: no retrying without end
  EXPECT_FALSE(std::filesystem::exists("memory.dat"));
  EXPECT_EQ(panel.bandHz[6], 14200000);
  EXPECT_EQ(panel.memoryChannel[0], "9");
}

TEST_F(MemoryFileTest, DamagedLinesKeepTheBandAndEmptyTheChannel) {
  writeFileBytes("memory.dat",
                 "V1.9\r\n"
                 "6001850000\r\n"     // band 1: no such mode
                 "200360000\r\n"      // band 2: eight digits
                 "\r\n"               // band 3: empty
                 "1007050000\r\n"     // band 4: well formed
                 "3010120000 \r\n"    // band 5: trailing blank
                 "2014x00000\r\n"     // band 6: not a digit
                 "2018120000\r\n2021300000\r\n2024900000\r\n2028600000\r\n"
                 "2050200000\r\n5145500000\r\n"
                 "5433000000\n"       // band 13: LF alone ends a line too
                 "2014200000\r\n"     // channel 0
                 "9\r\n"              // channel 1: empty
                 "0007100000\r\n"     // channel 2: no such mode
                 "1\r\n"              // channel 3: no frequency
                 "1007100000x\r\n");  // channel 4: too long; 5..9 missing
  panel.debugFlag = 1;
  panel.debugFile.open("debug.dat", "W");
  testing::internal::CaptureStderr();
  panel.loadMemoryFile();
  // Each line not taken is reported once, with its number and why, on
  // standard error and in the traffic log.
  Strings reported;
  std::istringstream errors(testing::internal::GetCapturedStderr());
  for (std::string line; std::getline(errors, line);) reported.push_back(line);
  EXPECT_EQ(reported, (Strings{
                          "quelmo: memory.dat line 2 (band 1) is not taken: its mode is not 1 to 5",
                          "quelmo: memory.dat line 3 (band 2) is not taken: it has 9 characters, "
                          "not a mode and nine digits",
                          "quelmo: memory.dat line 4 (band 3) is not taken: it is empty",
                          "quelmo: memory.dat line 6 (band 5) is not taken: it has 11 characters, "
                          "not a mode and nine digits",
                          "quelmo: memory.dat line 7 (band 6) is not taken: it holds a character "
                          "that is not a digit",
                          "quelmo: memory.dat line 17 (channel 2) is not taken: its mode is not 1 "
                          "to 5",
                          "quelmo: memory.dat line 18 (channel 3) is not taken: it has 1 "
                          "character, not a mode and nine digits",
                          "quelmo: memory.dat line 19 (channel 4) is not taken: it has 11 "
                          "characters, not a mode and nine digits",
                          "quelmo: memory.dat ends after line 19 of 24: the lines after are "
                          "not taken",
                      }));
  panel.debugFile.close();
  std::string log = readFileBytes("debug.dat");
  EXPECT_NE(log.find("ERR=memory.dat line 2 (band 1) is not taken"), std::string::npos) << log;
  EXPECT_NE(log.find("ERR=memory.dat ends after line 19"), std::string::npos) << log;
  for (int band : {1, 2, 3, 5, 6}) {
    EXPECT_EQ(panel.bandHz[band], bandTable[band].initialHz) << band;
    EXPECT_EQ(panel.bandMode[band], bandTable[band].initialMode) << band;
  }
  EXPECT_EQ(panel.bandHz[4], 7050000);
  EXPECT_EQ(panel.bandMode[4], "1");
  EXPECT_EQ(panel.bandHz[13], 433000000);
  EXPECT_EQ(panel.memoryChannel[0], "2014200000");
  for (int channel = 1; channel < 10; ++channel) {
    EXPECT_EQ(panel.memoryChannel[channel], "9") << channel;
  }
}

// A file that is not a memory file (the station's settings, the operator's
// notes, a version line over lines of something else) is never written
// over: the initial memories are used, a store says nothing was saved.
TEST_F(MemoryFileTest, FileThatIsNoMemoryFileIsNeverWrittenOver) {
  Strings mostlyNotes = linesOf(freshFile);
  for (int line = 1; line < 13; ++line) mostlyNotes[line] = "20 m net on Sunday";
  const std::pair<const char*, std::string> files[] = {
      {"its first line is not a version such as V1.9",
       "port1\r\nSPEED=38400\r\nPOWER=100\r\nSWR=0\r\nTUN=1\r\nBANDMAX=7\r\nPWRCTL=0\r\n"
       "DEBUG=1\r\n"},
      {"its first line is not a version such as V1.9", "2014200000 the club net\n7100000\n"},
      {"only 11 of its 23 lines after the version are memories", fileOf(mostlyNotes)},
  };
  for (const auto& [why, content] : files) {
    SCOPED_TRACE(why);
    writeFileBytes("memory.dat", content);
    prepare(panel);
    testing::internal::CaptureStderr();
    panel.loadMemoryFile();
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find(std::string("memory.dat is no memory file (") + why + ")"),
              std::string::npos)
        << errors;
    EXPECT_EQ(panel.memoryFileKept, 1);
    EXPECT_EQ(panel.bandHz[6], 14200000);
    platform.clearRecords();
    panel.storeChannel(1);
    EXPECT_EQ(words(), (Strings{"1", "ok", "notsaved"}));
    EXPECT_FALSE(panel.saveMemoryFile());
    EXPECT_EQ(readFileBytes("memory.dat"), content);
  }
}

// Saved by Notepad "with BOM", the file still begins with its version line:
// it is a memory file, read, and saved over (without the mark).
TEST_F(MemoryFileTest, AByteOrderMarkBeforeTheVersionLeavesItAMemoryFile) {
  Strings lines = linesOf(freshFile);
  lines[17] = "2014074000";  // channel 3
  writeFileBytes("memory.dat", "\xEF\xBB\xBF" + fileOf(lines));
  testing::internal::CaptureStderr();
  panel.loadMemoryFile();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(panel.memoryFileKept, 0);
  EXPECT_EQ(panel.memoryChannel[3], "2014074000");
  EXPECT_TRUE(panel.saveMemoryFile());
  EXPECT_EQ(readFileBytes("memory.dat"), fileOf(lines));
}

// Lines after the tenth channel are no part of the file: they are not
// taken, and said to be left out of the next save; blank ones are nothing.
TEST_F(MemoryFileTest, LinesAfterTheLastChannelAreReported) {
  writeFileBytes("memory.dat", freshFile + "2014200000\r\n\r\nmy notes\r\n\r\n");
  testing::internal::CaptureStderr();
  panel.loadMemoryFile();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "quelmo: memory.dat has 2 lines after its last channel, from line 25: not taken, "
            "and the next save leaves them out\n");
  EXPECT_EQ(panel.memoryFileKept, 0);
  EXPECT_TRUE(panel.saveMemoryFile());
  EXPECT_EQ(readFileBytes("memory.dat"), freshFile);
}

TEST_F(MemoryFileTest, OverlongLineIsReadAsDamagedWithoutDisturbingTheNext) {
  Strings lines = linesOf(freshFile);
  lines[14] = std::string(600, '9');  // channel 0
  lines[23] = "2014200000";           // channel 9
  writeFileBytes("memory.dat", fileOf(lines));
  panel.loadMemoryFile();
  EXPECT_EQ(panel.memoryChannel[0].length(), 254);
  EXPECT_EQ(panel.memoryChannel[1], "9");
  EXPECT_EQ(panel.memoryChannel[9], "2014200000");
}

}  // namespace
