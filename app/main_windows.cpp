// quelmo.exe, on the Win32 platform: takes no arguments and reads no
// environment; everything comes from the files in the working folder. A
// Windows program without a console.
#include "app/lifecycle.h"
#include "platform/windows/windows_platform.h"
#include "state/front_panel.h"

int main() {
  WindowsPlatform platform;
  FrontPanel panel(platform);
  return runQuelmo(panel);
}
