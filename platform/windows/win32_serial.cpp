#include "platform/windows/win32_serial.h"

#include <algorithm>

namespace {

// The read time-out that the port has when it has just been opened: 5 ms for
// every byte asked for.
constexpr int defaultReadMultiplier = 5;
// The longest gap between two bytes of one waiting read, and the longest any
// read waits at all, so a read never holds the program for long.
constexpr DWORD readIntervalMs = 1000;
constexpr int longestReadMs = 10000;

bool inRange(int port) { return port >= 1 && port <= 256; }

// Why CreateFileA could not open a port. A port another program holds is
// refused with "access denied" on Windows; there is no group to join.
SerialFault faultOfOpenError(DWORD error) {
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) return SerialFault::busy;
  return SerialFault::noDevice;
}

// How long a waiting read may take in all: the multiplier for every byte
// asked for; without a positive multiplier, as long as the gap between bytes.
DWORD readBudgetMs(int multiplier, int maximum) {
  if (multiplier <= 0) return readIntervalMs;
  return static_cast<DWORD>(
      std::min<long long>(static_cast<long long>(multiplier) * maximum, longestReadMs));
}

// The given speed, 8N1, and a raw line: no flow control in either direction,
// no character replaced or dropped, errors that do not stop the port, and
// DTR and RTS on (radios that wait for RTS before they listen find it set).
bool setRawLine(HANDLE handle, int baud) {
  DCB line{};
  line.DCBlength = sizeof line;
  if (!GetCommState(handle, &line)) return false;
  line.BaudRate = static_cast<DWORD>(baud);
  line.ByteSize = 8;
  line.Parity = NOPARITY;
  line.StopBits = ONESTOPBIT;
  line.fBinary = TRUE;
  line.fParity = FALSE;
  line.fOutxCtsFlow = FALSE;
  line.fOutxDsrFlow = FALSE;
  line.fDtrControl = DTR_CONTROL_ENABLE;
  line.fDsrSensitivity = FALSE;
  line.fTXContinueOnXoff = TRUE;
  line.fOutX = FALSE;
  line.fInX = FALSE;
  line.fErrorChar = FALSE;
  line.fNull = FALSE;
  line.fRtsControl = RTS_CONTROL_ENABLE;
  line.fAbortOnError = FALSE;
  return SetCommState(handle, &line) != 0;
}

// Read mode -1: a read returns at once with what has arrived; otherwise it
// waits as long as its budget for the bytes it asks for. Writes give up
// after writeWaitMs, so a device that stops taking bytes cannot hold the
// program.
bool setTimeouts(HANDLE handle, int readMultiplier, int maximum) {
  COMMTIMEOUTS timeouts{};
  if (readMultiplier == -1) {
    timeouts.ReadIntervalTimeout = MAXDWORD;
  } else {
    timeouts.ReadIntervalTimeout = readIntervalMs;
    timeouts.ReadTotalTimeoutConstant = readBudgetMs(readMultiplier, maximum);
  }
  timeouts.WriteTotalTimeoutConstant = Win32SerialPorts::writeWaitMs;
  return SetCommTimeouts(handle, &timeouts) != 0;
}

}  // namespace

Win32SerialPorts::~Win32SerialPorts() {
  for (auto& open : ports_) drop(open);
}

std::string Win32SerialPorts::deviceName(int port) {
  if (!inRange(port)) return {};
  return "\\\\.\\COM" + std::to_string(port);
}

std::string Win32SerialPorts::whereItLeads(int port) {
  std::string name = deviceName(port);
  if (name.empty()) return "no port: the number must be 1 to 256";
  return "COM" + std::to_string(port) + " (" + name + "), as Device Manager names the port";
}

int Win32SerialPorts::openSerial(int port, int baud) {
  if (!inRange(port)) return 0;
  closeSerial(port);
  OpenPort& slot = ports_[port];
  slot.fault = SerialFault::lineRefused;
  if (baud <= 0) return 0;
  HANDLE handle = CreateFileA(deviceName(port).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    slot.fault = faultOfOpenError(GetLastError());
    return 0;
  }
  if (GetFileType(handle) != FILE_TYPE_CHAR) slot.fault = SerialFault::noDevice;
  if (slot.fault == SerialFault::noDevice || !setRawLine(handle, baud) ||
      !setTimeouts(handle, defaultReadMultiplier, 1)) {
    CloseHandle(handle);
    return 0;
  }
  slot = OpenPort{handle, defaultReadMultiplier, SerialFault::none};
  return 1;
}

int Win32SerialPorts::openNetworkLink(int port, const std::string& address) {
  if (!inRange(port)) return 0;
  closeSerial(port);
  OpenPort& slot = ports_[port];
  bool connecting = false;
  winsock::Socket socket = winsock::startConnection(address, connecting, slot.fault);
  if (socket == winsock::noSocket) return 0;
  slot = OpenPort{};
  slot.fault = SerialFault::none;
  slot.readMultiplier = defaultReadMultiplier;
  slot.socket = socket;
  slot.connecting = connecting;
  slot.connectBy = std::chrono::steady_clock::now() + std::chrono::milliseconds(connectWaitMs);
  return 1;
}

// A network link keeps it for its next reads even while its connection is
// on its way.
int Win32SerialPorts::setSerialReadMode(int port, int multiplier) {
  if (inRange(port) && ports_[port].socket != winsock::noSocket) {
    ports_[port].readMultiplier = multiplier;
    return 1;
  }
  OpenPort* open = opened(port);
  if (open == nullptr) return 0;
  open->readMultiplier = multiplier;
  if (setTimeouts(open->handle, multiplier, 1)) return 1;
  lose(*open);
  return 0;
}

int Win32SerialPorts::setSerialFormat(int port, int dataBits, int parity, int stopBits) {
  // NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY and SPACEPARITY are 0..4.
  if (dataBits < 5 || dataBits > 8 || parity < 0 || parity > SPACEPARITY) return 0;
  OpenPort* open = opened(port);
  if (open == nullptr) return 0;
  if (open->socket != winsock::noSocket) return 1;  // the line is set where the radio is
  DCB line{};
  line.DCBlength = sizeof line;
  if (!GetCommState(open->handle, &line)) {
    lose(*open);
    return 0;
  }
  line.ByteSize = static_cast<BYTE>(dataBits);
  line.Parity = static_cast<BYTE>(parity);
  line.StopBits = stopBits == 1 ? ONESTOPBIT : TWOSTOPBITS;
  return SetCommState(open->handle, &line) ? 1 : 0;
}

int Win32SerialPorts::serialBytesWaiting(int port) {
  OpenPort* open = opened(port);
  if (open == nullptr) return 0;
  if (open->socket != winsock::noSocket) {
    winsock::Transfer waiting = winsock::bytesWaiting(open->socket);
    if (waiting.gone) lose(*open);
    return waiting.bytes;
  }
  DWORD errors = 0;
  COMSTAT state{};
  if (!ClearCommError(open->handle, &errors, &state)) {
    lose(*open);
    return 0;
  }
  return static_cast<int>(std::min<DWORD>(state.cbInQue, 0x7FFFFFFF));
}

int Win32SerialPorts::readSerial(int port, char* buffer, int maximum) {
  if (buffer == nullptr || maximum <= 0) return 0;
  OpenPort* open = opened(port);
  if (open == nullptr) return 0;
  if (open->socket != winsock::noSocket) return readNetwork(*open, buffer, maximum);
  // A waiting read's time-out depends on how many bytes it asks for.
  DWORD read = 0;
  bool waits = open->readMultiplier != -1;
  if ((waits && !setTimeouts(open->handle, open->readMultiplier, maximum)) ||
      !ReadFile(open->handle, buffer, static_cast<DWORD>(maximum), &read, nullptr)) {
    lose(*open);
    return 0;
  }
  return static_cast<int>(read);
}

int Win32SerialPorts::writeSerial(int port, const char* text, int length) {
  if (text == nullptr || length <= 0) return 0;
  OpenPort* open = opened(port);
  if (open == nullptr) return 0;
  if (open->socket != winsock::noSocket) {
    winsock::Transfer sent = winsock::sendAll(open->socket, text, length, writeWaitMs);
    if (sent.gone) lose(*open);
    return sent.bytes;
  }
  DWORD written = 0;
  if (!WriteFile(open->handle, text, static_cast<DWORD>(length), &written, nullptr)) {
    lose(*open);
    return 0;
  }
  return static_cast<int>(written);
}

int Win32SerialPorts::closeSerial(int port) {
  if (!inRange(port) || !ports_[port].isOpen()) return 0;
  drop(ports_[port]);
  return 1;
}

SerialFault Win32SerialPorts::serialFault(int port) const {
  if (!inRange(port)) return SerialFault::noDevice;
  return ports_[port].isOpen() ? SerialFault::none : ports_[port].fault;
}

Win32SerialPorts::OpenPort* Win32SerialPorts::opened(int port) {
  if (!inRange(port) || !ports_[port].isOpen()) return nullptr;
  OpenPort& open = ports_[port];
  if (open.connecting && !connectionDone(open)) return nullptr;
  return &open;
}

// A connection on its way takes no bytes yet; one that failed, or took too
// long, closes the port with the reason.
bool Win32SerialPorts::connectionDone(OpenPort& open) {
  SerialFault fault = SerialFault::none;
  if (winsock::connectionMade(open.socket, fault)) {
    open.connecting = false;
    return true;
  }
  if (fault == SerialFault::none && std::chrono::steady_clock::now() >= open.connectBy) {
    fault = SerialFault::noServer;
  }
  if (fault != SerialFault::none) drop(open, fault);
  return false;
}

// A waiting read waits for its first byte as long as its budget.
int Win32SerialPorts::readNetwork(OpenPort& open, char* buffer, int maximum) {
  int waitMs = open.readMultiplier == -1
                   ? 0
                   : static_cast<int>(readBudgetMs(open.readMultiplier, maximum));
  winsock::Transfer read = winsock::receive(open.socket, buffer, maximum, waitMs);
  if (read.bytes > 0) open.received = true;
  if (read.gone) lose(open);
  return read.bytes;
}

void Win32SerialPorts::drop(OpenPort& open, SerialFault why) {
  if (open.handle != INVALID_HANDLE_VALUE) CloseHandle(open.handle);
  winsock::close(open.socket);
  open = OpenPort{};
  open.fault = why;
}
