// quelmo: takes no arguments and reads no environment; everything comes from
// the files in the working directory.
#include "app/lifecycle.h"
#include "platform/desktop/desktop_platform.h"
#include "state/front_panel.h"

int main() {
  DesktopPlatform platform;
  FrontPanel panel(platform);
  return runQuelmo(panel);
}
