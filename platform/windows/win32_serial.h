// Serial ports on Win32, by the port numbers 1..256 the program uses. Port n
// is the device "\\.\COMn": that form names every port, the first nine as
// well as COM10 and above.
//
// Every operation on a port that is out of range, not open, or whose device
// has gone (the USB adapter was pulled) returns 0 and does nothing. A port
// whose device fails a call is closed at once, so later calls cost nothing;
// serialFault() then says so.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "platform/platform.h"

class Win32SerialPorts {
 public:
  Win32SerialPorts() = default;
  ~Win32SerialPorts();
  Win32SerialPorts(const Win32SerialPorts&) = delete;
  Win32SerialPorts& operator=(const Win32SerialPorts&) = delete;

  // The device that port n names (empty when n is out of range).
  static std::string deviceName(int port);
  // Where port n leads, in words, for the station check.
  static std::string whereItLeads(int port);

  // 1 when the port opened, exclusively, at that speed, 8N1, raw, with no
  // flow control and DTR and RTS on.
  int openSerial(int port, int baud);
  // Multiplier -1: reads never wait. Any other: a read waits for its bytes
  // at most multiplier ms per byte asked for (1 s when that is not
  // positive, 10 s at most), and at most 1 s between two bytes.
  int setSerialReadMode(int port, int multiplier);
  // Data bits 5..8; parity 0 none, 1 odd, 2 even, 3 mark, 4 space; stop-bit
  // code 1 one stop bit, any other two. 0 and no change for other values.
  int setSerialFormat(int port, int dataBits, int parity, int stopBits);
  int serialBytesWaiting(int port);
  // Stores at most maximum bytes at the start of buffer, adds no end mark.
  int readSerial(int port, char* buffer, int maximum);
  // Hands the bytes to the device; waits at most writeWaitMs for it to send
  // them, and returns the number sent.
  int writeSerial(int port, const char* text, int length);
  int closeSerial(int port);
  // Why port n is not open (none while it is).
  SerialFault serialFault(int port) const;

  static constexpr int writeWaitMs = 1000;

 private:
  struct OpenPort {
    HANDLE handle = INVALID_HANDLE_VALUE;
    int readMultiplier = -1;
    SerialFault fault = SerialFault::closed;  // while there is no handle
  };

  OpenPort* opened(int port);
  // Closes the port, marking why: closed by the program, or its device gone.
  void drop(OpenPort& open, SerialFault why = SerialFault::closed);
  void lose(OpenPort& open) { drop(open, SerialFault::gone); }

  std::array<OpenPort, 257> ports_;  // indexed by port number
};
