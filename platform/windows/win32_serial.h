// Serial ports on Win32, by the port numbers 1..256 the program uses. Port n
// is the device "\\.\COMn": that form names every port, the first nine as
// well as COM10 and above; or, opened as a network link, a TCP connection
// (winsock_link.h).
//
// Every operation on a port that is out of range, not open, or whose device
// has gone (the USB adapter was pulled) returns 0 and does nothing. A port
// whose device fails a call is closed at once, so later calls cost nothing;
// serialFault() then says so.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <string>

#include "platform/platform.h"
#include "platform/windows/winsock_link.h"

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
  // Port n as a TCP connection to the address, made without waiting.
  int openNetworkLink(int port, const std::string& address);

  static constexpr int writeWaitMs = 1000;
  // How long a network connection may take to be made.
  static constexpr int connectWaitMs = 3000;

 private:
  struct OpenPort {
    HANDLE handle = INVALID_HANDLE_VALUE;
    int readMultiplier = -1;
    SerialFault fault = SerialFault::closed;  // while there is no handle nor socket
    winsock::Socket socket = winsock::noSocket;  // a network link instead of a device
    bool connecting = false;                     // its connection still on its way
    std::chrono::steady_clock::time_point connectBy{};
    bool received = false;  // a byte has been read from it
    bool isOpen() const { return handle != INVALID_HANDLE_VALUE || socket != winsock::noSocket; }
  };

  // The open port n; nullptr when n is out of range, not open, or a
  // connection still on its way.
  OpenPort* opened(int port);
  bool connectionDone(OpenPort& open);
  // Closes the port, marking why: closed by the program, or its device gone.
  void drop(OpenPort& open, SerialFault why = SerialFault::closed);
  // The device has gone. A network server that closes the connection before
  // a byte of it was read never served it.
  void lose(OpenPort& open) {
    bool unserved = open.socket != winsock::noSocket && !open.received;
    drop(open, unserved ? SerialFault::serverClosed : SerialFault::gone);
  }
  int readNetwork(OpenPort& open, char* buffer, int maximum);

  std::array<OpenPort, 257> ports_;  // indexed by port number
};
