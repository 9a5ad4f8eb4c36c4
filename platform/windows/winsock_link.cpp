// Winsock's header comes before windows.h, which would bring the old one.
#include "platform/windows/winsock_link.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>

namespace winsock {

namespace {

// Winsock is started once, on the first connection, and stays for the
// process: its end is the process's.
bool started() {
  static const bool ready = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ready;
}

SOCKET native(Socket socket) { return static_cast<SOCKET>(socket); }

SerialFault faultOfConnectError(int error) {
  if (error == WSAEACCES) return SerialFault::denied;
  return SerialFault::noServer;  // refused, unreachable, timed out: nothing there
}

// "host:port" or "[host]:port" in digits: its socket address, looked up
// without the name service; nullptr when it names none.
addrinfo* resolve(const std::string& address) {
  std::size_t colon = address.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == address.size()) return nullptr;
  std::string host = address.substr(0, colon);
  std::string service = address.substr(colon + 1);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  addrinfo wanted{};
  wanted.ai_socktype = SOCK_STREAM;
  wanted.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), service.c_str(), &wanted, &found) != 0) return nullptr;
  return found;
}

// Waits at most waitMs for the socket to become readable (or writable).
bool ready(Socket socket, bool forWriting, int waitMs) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(native(socket), &set);
  timeval wait{waitMs / 1000, (waitMs % 1000) * 1000};
  int result = forWriting ? select(0, nullptr, &set, nullptr, &wait)
                          : select(0, &set, nullptr, nullptr, &wait);
  return result > 0;
}

bool meansWait(int error) { return error == WSAEWOULDBLOCK || error == WSAEINTR; }

}  // namespace

Socket startConnection(const std::string& address, bool& connecting, SerialFault& fault) {
  connecting = false;
  if (!started()) {
    fault = SerialFault::noDevice;
    return noSocket;
  }
  addrinfo* found = resolve(address);
  if (found == nullptr) {
    fault = SerialFault::notAnAddress;
    return noSocket;
  }
  SOCKET fd = ::socket(found->ai_family, SOCK_STREAM, IPPROTO_TCP);
  if (fd == INVALID_SOCKET) {
    freeaddrinfo(found);
    fault = SerialFault::noDevice;
    return noSocket;
  }
  u_long nonBlocking = 1;
  ioctlsocket(fd, FIONBIO, &nonBlocking);
  BOOL on = TRUE;  // a command goes out at once
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  int result = connect(fd, found->ai_addr, static_cast<int>(found->ai_addrlen));
  int error = WSAGetLastError();
  freeaddrinfo(found);
  connecting = result != 0 && meansWait(error);
  if (result != 0 && !connecting) {
    closesocket(fd);
    fault = faultOfConnectError(error);
    return noSocket;
  }
  fault = SerialFault::none;
  return static_cast<Socket>(fd);
}

bool connectionMade(Socket socket, SerialFault& fault) {
  fault = SerialFault::none;
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(native(socket), &writable);
  FD_SET(native(socket), &failed);
  timeval now{0, 0};
  if (select(0, nullptr, &writable, &failed, &now) <= 0) return false;  // still on its way
  if (FD_ISSET(native(socket), &failed)) {
    int error = 0;
    int length = sizeof error;
    getsockopt(native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
    fault = faultOfConnectError(error);
    return false;
  }
  return true;
}

Transfer bytesWaiting(Socket socket) {
  u_long waiting = 0;
  if (ioctlsocket(native(socket), FIONREAD, &waiting) != 0) return {0, true};
  if (waiting > 0) return {static_cast<int>(std::min<u_long>(waiting, 0x7FFFFFFF)), false};
  // Readable with nothing to read: the far end has closed the connection.
  if (!ready(socket, false, 0)) return {};
  char peek = 0;
  int result = recv(native(socket), &peek, 1, MSG_PEEK);
  if (result == 0) return {0, true};
  if (result < 0 && !meansWait(WSAGetLastError())) return {0, true};
  return {result > 0 ? result : 0, false};
}

Transfer receive(Socket socket, char* buffer, int maximum, int waitMs) {
  if (waitMs > 0 && !ready(socket, false, waitMs)) return {};
  int result = recv(native(socket), buffer, maximum, 0);
  if (result > 0) return {result, false};
  if (result == 0) return {0, true};  // closed at the far end
  return {0, !meansWait(WSAGetLastError())};
}

Transfer sendAll(Socket socket, const char* bytes, int length, int waitMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  Transfer sent;
  while (sent.bytes < length) {
    int result = send(native(socket), bytes + sent.bytes, length - sent.bytes, 0);
    if (result > 0) {
      sent.bytes += result;
      continue;
    }
    if (result < 0 && !meansWait(WSAGetLastError())) {
      sent.gone = true;
      break;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !ready(socket, true, static_cast<int>(left.count()))) break;
  }
  return sent;
}

void close(Socket socket) {
  if (socket != noSocket) closesocket(native(socket));
}

}  // namespace winsock
