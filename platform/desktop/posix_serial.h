// Serial ports on POSIX termios, by the port numbers 1..256 the program uses.
// Port n is the entry "COMn" in the working directory when there is one (a
// link to the radio's device, or the simulator's pseudo-terminal), otherwise
// /dev/ttyS(n-1).
#pragma once

#include <array>
#include <string>

class PosixSerialPorts {
 public:
  PosixSerialPorts() { descriptors_.fill(-1); }
  ~PosixSerialPorts();
  PosixSerialPorts(const PosixSerialPorts&) = delete;
  PosixSerialPorts& operator=(const PosixSerialPorts&) = delete;

  // The device path that port n names (empty when n is out of range).
  static std::string deviceName(int port);

  int openSerial(int port, int baud);
  int setSerialReadMode(int port, int multiplier);
  int setSerialFormat(int port, int dataBits, int parity, int stopBits);
  int serialBytesWaiting(int port);
  int readSerial(int port, char* buffer, int maximum);
  int writeSerial(int port, const char* text, int length);
  int closeSerial(int port);

 private:
  int descriptor(int port) const;
  std::array<int, 257> descriptors_;  // indexed by port number; -1 closed
};
