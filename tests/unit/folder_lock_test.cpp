// The working folder is held by one program at a time, and holding it
// leaves nothing in it.
#include "platform/folder_lock.h"

#include <filesystem>

#include "front_panel_fixture.h"

namespace {

TEST(FolderLock, AFolderIsHeldByOneProgramAtATimeAndLeftAsItWas) {
  TemporaryDirectory folder;
  {
    FolderLock first;
    ASSERT_TRUE(first.hold());
    EXPECT_TRUE(first.hold());  // still its own
    FolderLock second;
    EXPECT_FALSE(second.hold());
    {
      TemporaryDirectory other;
      FolderLock elsewhere;
      EXPECT_TRUE(elsewhere.hold());
    }
    EXPECT_FALSE(second.hold());
  }
  FolderLock next;  // the first has ended
  EXPECT_TRUE(next.hold());
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
