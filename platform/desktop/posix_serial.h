// Serial ports on POSIX termios, by the port numbers 1..256 the program uses.
// Port n is the entry "COMn" in the working directory when there is one (a
// link to the radio's device, the simulator's pseudo-terminal, or a plain
// file naming a network address, see network_link.h), otherwise
// /dev/ttyS(n-1). Once port n has been opened through its COMn entry it
// keeps to that entry: while the entry is missing the port finds no device,
// and it never falls back on the computer's own port, where another device
// could answer in the radio's place.
//
// Every operation on a port that is out of range, not open, or whose device
// has gone (the other end hung up, the USB adapter was pulled) returns 0 and
// does nothing. A port found gone is closed at once, so later calls cost
// nothing and never spin on a dead device; serialFault() then says so.
#pragma once

#include <array>
#include <bitset>
#include <chrono>
#include <string>

#include "platform/platform.h"

class PosixSerialPorts {
 public:
  PosixSerialPorts() = default;
  ~PosixSerialPorts();
  PosixSerialPorts(const PosixSerialPorts&) = delete;
  PosixSerialPorts& operator=(const PosixSerialPorts&) = delete;

  // The device path that port n names (empty when n is out of range).
  static std::string deviceName(int port);
  // The path the next open of port n takes: deviceName(port), or the COMn
  // entry once the port has been opened through it.
  std::string pathOf(int port) const;
  // Where port n leads, in words, for the operator checking the station.
  static std::string whereItLeads(int port);

  // 1 when the port opened at that speed, 8N1, raw, no flow control.
  int openSerial(int port, int baud);
  // Multiplier -1: reads never wait. Any other: a read waits for its bytes
  // at most multiplier ms per byte asked for (1 s when that is not
  // positive), and at most 1 s between two bytes.
  int setSerialReadMode(int port, int multiplier);
  // Data bits 5..8; parity 0 none, 1 odd, 2 even, 3 mark, 4 space; stop-bit
  // code 1 one stop bit, any other two. 0 and no change for other values.
  int setSerialFormat(int port, int dataBits, int parity, int stopBits);
  int serialBytesWaiting(int port);
  // Stores at most maximum bytes at the start of buffer, adds no end mark.
  int readSerial(int port, char* buffer, int maximum);
  // Hands the bytes to the device; waits at most writeWaitMs for room in its
  // buffer, and returns the number handed over.
  int writeSerial(int port, const char* text, int length);
  int closeSerial(int port);
  // Why port n is not open (none while it is).
  SerialFault serialFault(int port) const;
  // Port n as a TCP connection to the address (network_link.h), its COMn
  // entry left aside.
  int openNetworkLink(int port, const std::string& address);

  static constexpr int writeWaitMs = 1000;
  // How long a network connection may take to be made.
  static constexpr int connectWaitMs = 3000;

 private:
  struct OpenPort {
    int fd = -1;
    int readMultiplier = -1;
    bool network = false;     // a TCP connection rather than a terminal
    bool connecting = false;  // a connection still on its way
    std::chrono::steady_clock::time_point connectBy{};
    SerialFault fault = SerialFault::closed;  // while fd < 0
    bool received = false;                    // a byte has been read from it
  };

  // The open port n, or nullptr when n is out of range, not open, or a
  // connection still on its way. For the calls whose own system call does
  // not fail on a hung-up device (a read there just finds nothing),
  // usable() also looks for the hang-up: a port whose device has hung up is
  // closed there and gives nullptr too.
  OpenPort* opened(int port);
  OpenPort* usable(int port);
  bool connectionDone(OpenPort& open);
  // Closes the port, marking why: closed by the program, or its device gone.
  void drop(OpenPort& open, SerialFault why = SerialFault::closed);
  // The device has gone. A network server that closes the connection before
  // a byte of it was read never served it: it serves another program (one
  // at a time), or cannot open the radio's port where it is.
  void lose(OpenPort& open) {
    drop(open, open.network && !open.received ? SerialFault::serverClosed : SerialFault::gone);
  }

  std::array<OpenPort, 257> ports_;  // indexed by port number
  std::bitset<257> throughEntry_;    // the ports opened through their COMn entry
};
