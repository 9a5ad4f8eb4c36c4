// quelmo-check.exe: the station check on Windows, a console program beside
// quelmo.exe. It reads quelmo.cfg in the working folder as quelmo.exe does,
// says what it understood in Quelmo's words and prints it, then asks the
// radio for its identity. See check/station_check.h.
#include <windows.h>

#include <iostream>

#include "check/station_check.h"
#include "platform/windows/windows_platform.h"

namespace {

// Started from File Explorer, the check has a console of its own, which
// would close with it before a screen reader had read the report: it waits
// for Enter then. Started from a command prompt, it ends at once.
void keepOwnConsoleOpen() {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1) return;
  std::cout << "Press Enter to close this window.\n";
  std::cout.flush();
  std::cin.get();
}

}  // namespace

int main() {
  int result = 1;
  {
    WindowsPlatform platform;
    FrontPanel panel(platform);
    panel.waveDir = "wave\\";
    panel.dataBits = 8;  // the line format the program sets (app/opening_sequence.cpp)
    panel.parity = 0;
    panel.stopBits = 2;
    result = checkStation(panel, std::cout, Win32SerialPorts::whereItLeads);
  }
  keepOwnConsoleOpen();
  return result;
}
