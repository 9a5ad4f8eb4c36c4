// quelmo: takes no arguments and reads no environment; everything comes from
// the files in the working directory.
#include "app/front_panel.h"
#include "app/lifecycle.h"
#include "platform/desktop/desktop_platform.h"

int main() {
  DesktopPlatform platform;
  FrontPanel panel(platform);
  return runQuelmo(panel);
}
