// quelmo-check: checks the station in the working folder by ear and on the
// screen, without changing anything on the radio. See check/station_check.h.
#include <iostream>

#include "check/station_check.h"
#include "platform/desktop/desktop_platform.h"

int main() {
  DesktopPlatform platform;
  FrontPanel panel(platform);
  panel.waveDir = "wave\\";
  panel.dataBits = 8;  // the line format the program sets (app/opening_sequence.cpp)
  panel.parity = 0;
  panel.stopBits = 2;
  return checkStation(panel, std::cout, PosixSerialPorts::whereItLeads);
}
