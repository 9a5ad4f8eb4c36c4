// quelmo-check: checks the station in the working folder by ear and on the
// screen, without changing anything on the radio. See check/station_check.h.
//
// quelmo-check --network-address ENTRY prints the network address that the
// file ENTRY names, read as the program reads a COMn file, and ends with 0;
// or why it names none, and ends with 1 (for scripts/run).
//
// quelmo-check --port prints the port number that line 1 of quelmo.cfg in
// the working folder names, as the program reads it; 0 for none (for
// scripts/run).
//
// quelmo-check --rigctld prints the address of the option RIGCTLD in
// quelmo.cfg in the working folder, as the program reads it; an empty line
// when it names none (for scripts/run).
#include <iostream>
#include <string_view>

#include "app/options.h"
#include "app/port_line.h"
#include "check/station_check.h"
#include "platform/desktop/desktop_platform.h"
#include "platform/desktop/network_link.h"

namespace {

int printNetworkAddress(const std::string& entry) {
  std::string address = addressInEntry(entry);
  if (isNetworkAddress(address)) {
    std::cout << address << "\n";
    return 0;
  }
  std::cout << (namesAHost(address) ? "a host name, which Quelmo does not look up"
                                    : "not a network address in digits")
            << "\n";
  return 1;
}

int printPort() {
  TextFile file;
  std::string line;
  if (file.open("quelmo.cfg", "R") == 0) file.readLine(line);
  std::cout << portOfLine(line) << "\n";
  return 0;
}

int printRigctld() {
  TextFile file;
  std::string line;
  std::string address;
  if (file.open("quelmo.cfg", "R") == 0) {
    for (int number = 1; file.readLine(line) == 0; ++number) {
      if (number <= 8) continue;  // the settings; the options follow them
      OptionLine option = readOptionLine(line);
      if (option.option != nullptr && std::string_view(option.option->name) == "RIGCTLD") {
        address = option.text;
      }
    }
  }
  std::cout << address << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--network-address") {
    return printNetworkAddress(argv[2]);
  }
  if (argc == 2 && std::string_view(argv[1]) == "--port") return printPort();
  if (argc == 2 && std::string_view(argv[1]) == "--rigctld") return printRigctld();
  DesktopPlatform platform;
  FrontPanel panel(platform);
  panel.waveDir = "wave\\";
  panel.dataBits = 8;  // the line format the program sets (app/opening_sequence.cpp)
  panel.parity = 0;
  panel.stopBits = 2;
  return checkStation(panel, std::cout, PosixSerialPorts::whereItLeads);
}
