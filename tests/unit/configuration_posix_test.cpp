// quelmo.cfg as links can make it on POSIX systems: one that leads nowhere,
// and one that leads to a file without end.
#include <filesystem>
#include <string>
#include <vector>

#include "front_panel_fixture.h"

namespace {

class ConfigurationPosixTest : public FrontPanelTest {
 protected:
  TemporaryDirectory folder;
};

TEST_F(ConfigurationPosixTest, UnusableFilesAreSaidAndTheProgramCannotRun) {
  const std::pair<const char*, const char*> links[] = {
      {"station/quelmo.cfg", "quelmo.cfg is a link to station/quelmo.cfg, which does not exist"},
      {"/proc/self/pagemap", "quelmo.cfg is larger than 1048576 bytes"},
  };
  for (const auto& [target, said] : links) {
    SCOPED_TRACE(target);
    std::filesystem::remove("quelmo.cfg");
    std::filesystem::create_symlink(target, "quelmo.cfg");
    platform.clearRecords();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(panel.readConfiguration());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("quelmo: ") + said + ": Quelmo cannot run without it\n");
    EXPECT_EQ(words(), std::vector<std::string>{"cfgnf"});
  }
}

}  // namespace
