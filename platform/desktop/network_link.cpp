#include "platform/desktop/network_link.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// How long the far end may leave bytes unacknowledged before the connection
// counts as gone: the poll writes every 100 ms, so a computer that vanished
// without closing the connection is noticed within seconds, not the
// quarter of an hour TCP would otherwise keep trying.
constexpr unsigned int unacknowledgedMs = 3000;

// The most of a COMn file that is read: an address with its port takes at
// most some 50 characters, so anything longer is no address.
constexpr std::size_t longestAddressLine = 256;

SerialFault faultOfConnectError(int error) {
  if (error == EACCES || error == EPERM) return SerialFault::denied;
  return SerialFault::noServer;  // refused, unreachable, timed out: nothing there
}

// "host:port" or "[host]:port" into its two parts.
bool splitAddress(const std::string& address, std::string& host, std::string& service) {
  std::size_t colon = address.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == address.size()) return false;
  host = address.substr(0, colon);
  service = address.substr(colon + 1);
  if (host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  return !host.empty();
}

// The socket address that an address of the form above names; nullptr when
// it names none. To be freed with freeaddrinfo.
addrinfo* resolve(const std::string& address) {
  std::string host;
  std::string service;
  addrinfo wanted{};
  wanted.ai_socktype = SOCK_STREAM;
  // Digits only: looking a name up could hold the program for seconds.
  wanted.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (!splitAddress(address, host, service) ||
      ::getaddrinfo(host.c_str(), service.c_str(), &wanted, &found) != 0) {
    return nullptr;
  }
  return found;
}

}  // namespace

bool namesAHost(const std::string& address) {
  std::string host;
  std::string service;
  return splitAddress(address, host, service) && host.find(':') == std::string::npos &&
         host.find_first_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") !=
             std::string::npos;
}

bool isNetworkAddress(const std::string& address) {
  addrinfo* found = resolve(address);
  if (found == nullptr) return false;
  ::freeaddrinfo(found);
  return true;
}

std::string addressInEntry(const std::string& entry) {
  struct stat info {};
  if (::stat(entry.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  // The file is looked at again every second while the radio is missing:
  // only its first bytes are read, whatever its size says (a huge or
  // sparse file, or one of /proc, whose size says nothing).
  int fd = ::open(entry.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return {};
  char start[longestAddressLine];
  ssize_t length = -1;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) length = ::read(fd, start, sizeof start);
  ::close(fd);
  if (length <= 0) return {};
  std::string line(start, static_cast<std::size_t>(length));
  line = line.substr(0, line.find_first_of("\r\n"));
  std::size_t first = line.find_first_not_of(" \t");
  std::size_t last = line.find_last_not_of(" \t");
  if (first == std::string::npos) return {};
  return line.substr(first, last - first + 1);
}

int startConnection(const std::string& address, bool& connecting, SerialFault& fault) {
  addrinfo* found = resolve(address);
  if (found == nullptr) {
    fault = SerialFault::notAnAddress;
    return -1;
  }
  int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    ::freeaddrinfo(found);
    fault = SerialFault::noDevice;
    return -1;
  }
  int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);  // a command goes out at once
  ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &unacknowledgedMs, sizeof unacknowledgedMs);
  int result = ::connect(fd, found->ai_addr, found->ai_addrlen);
  int error = errno;
  ::freeaddrinfo(found);
  connecting = result != 0 && error == EINPROGRESS;
  if (result != 0 && !connecting) {
    ::close(fd);
    fault = faultOfConnectError(error);
    return -1;
  }
  fault = SerialFault::none;
  return fd;
}

bool connectionMade(int socket, SerialFault& fault) {
  fault = SerialFault::none;
  pollfd state{socket, POLLOUT, 0};
  if (::poll(&state, 1, 0) <= 0) return false;  // still on its way
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  if (error != 0) {
    fault = faultOfConnectError(error);
    return false;
  }
  return true;
}
