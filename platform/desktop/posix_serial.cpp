#include "platform/desktop/posix_serial.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <utility>

#include "platform/desktop/network_link.h"

namespace {

// The line speeds termios knows, in bits per second. A speed not in this
// table cannot be set, and the port does not open.
constexpr std::pair<int, speed_t> lineSpeeds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

// The read time-out that the port has when it has just been opened: 5 ms for
// every byte asked for.
constexpr int defaultReadMultiplier = 5;
// The longest gap between two bytes of one waiting read, and the longest any
// read waits at all, so a read never holds the program for long.
constexpr int readIntervalMs = 1000;
constexpr int longestReadMs = 10000;

// How long a waiting read may take in all: the multiplier for every byte
// asked for; without a positive multiplier, as long as the gap between bytes.
int readBudgetMs(int multiplier, int maximum) {
  if (multiplier <= 0) return readIntervalMs;
  return static_cast<int>(
      std::min<long long>(static_cast<long long>(multiplier) * maximum, longestReadMs));
}

bool findSpeed(int baud, speed_t& speed) {
  for (const auto& [bitsPerSecond, code] : lineSpeeds) {
    if (bitsPerSecond == baud) {
      speed = code;
      return true;
    }
  }
  return false;
}

bool inRange(int port) { return port >= 1 && port <= 256; }

// Errors after which the device is no longer there to talk to.
bool meansGone(int error) {
  return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE || error == EBADF ||
         error == ECONNRESET || error == ETIMEDOUT || error == ENOTCONN;
}

// Why a device could not be opened, from the open's error.
SerialFault faultOfOpenError(int error) {
  if (error == EACCES || error == EPERM || error == EROFS) return SerialFault::denied;
  if (error == EBUSY || error == EWOULDBLOCK) return SerialFault::busy;
  return SerialFault::noDevice;
}

using Clock = std::chrono::steady_clock;

int msUntil(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<long long>(0, left.count()));
}

// Raw 8N1 at the given speed: no echo, no line editing, no character
// translation, modem lines ignored, no flow control; reads return at once.
bool setRawLine(int fd, speed_t speed) {
  termios line{};
  if (::tcgetattr(fd, &line) != 0) return false;
  ::cfmakeraw(&line);
  line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  line.c_cflag |= CS8 | CLOCAL | CREAD;
  line.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  if (::cfsetispeed(&line, speed) != 0 || ::cfsetospeed(&line, speed) != 0) return false;
  return ::tcsetattr(fd, TCSANOW, &line) == 0;
}

// Opens the device for reading and writing without making it the program's
// controlling terminal (so its hang-up sends no SIGHUP) and without waiting
// for a carrier. Only a terminal device is kept: anything else (a pipe, a
// plain file) is refused, so a write can never raise SIGPIPE. Another user
// of the device makes the open fail: the flock holds against every other
// opener, TIOCEXCL also against those that do not take the lock.
int openDevice(const std::string& name, SerialFault& fault) {
  int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    fault = faultOfOpenError(errno);
    return -1;
  }
  struct stat info {};
  fault = SerialFault::noDevice;  // not a serial device
  bool usable = ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && ::isatty(fd);
  if (usable && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    fault = SerialFault::busy;
    usable = false;
  }
  if (!usable || ::ioctl(fd, TIOCEXCL) != 0) {
    ::close(fd);
    return -1;
  }
  fault = SerialFault::none;
  return fd;
}

// A look that does not wait: the other end hung up, or the device is gone.
bool hasHungUp(int fd, bool network) {
  pollfd state{fd, static_cast<short>(network ? POLLIN | POLLRDHUP : POLLIN), 0};
  if (::poll(&state, 1, 0) < 0) return errno != EINTR;
  return (state.revents & (POLLHUP | POLLERR | POLLNVAL | POLLRDHUP)) != 0;
}

void closeDevice(int fd, bool network) {
  if (!network) ::ioctl(fd, TIOCNXCL);  // leave the device openable for the next program
  ::close(fd);
}

// Writes without waiting; a connection closed at the far end gives EPIPE
// instead of the signal that would end the program.
ssize_t writeSome(int fd, bool network, const char* bytes, std::size_t length) {
  if (network) return ::send(fd, bytes, length, MSG_NOSIGNAL);
  return ::write(fd, bytes, length);
}

// A text from a file as a message shows it: at most 60 characters, those
// that cannot be shown (a NUL, a control character) as "?".
std::string shownText(const std::string& text) {
  constexpr std::size_t longest = 60;
  std::string shown = text.substr(0, longest);
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
  }
  return text.size() > longest ? shown + "..." : shown;
}

std::string linkTarget(const std::string& entry) {
  char target[PATH_MAX];
  ssize_t length = ::readlink(entry.c_str(), target, sizeof target - 1);
  return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

PosixSerialPorts::~PosixSerialPorts() {
  for (auto& open : ports_) drop(open);
}

std::string PosixSerialPorts::deviceName(int port) {
  if (!inRange(port)) return {};
  std::string local = "COM" + std::to_string(port);
  // An entry that is there but leads nowhere (a link to an adapter that is
  // unplugged) still names this port: the open fails rather than reaching
  // some other device.
  struct stat entry {};
  if (::lstat(local.c_str(), &entry) == 0) return local;
  return "/dev/ttyS" + std::to_string(port - 1);
}

std::string PosixSerialPorts::whereItLeads(int port) {
  std::string name = deviceName(port);
  if (name.empty()) return "no port: the number must be 1 to 256";
  if (name.rfind("COM", 0) != 0) {
    return name + ", the computer's own serial port (there is no COM" + std::to_string(port) +
           " in this folder)";
  }
  std::string address = addressInEntry(name);
  if (!address.empty() && isNetworkAddress(address)) {
    return name + ", a file naming the network address " + address;
  }
  if (!address.empty() && namesAHost(address)) {
    return name + ", a file naming the host \"" + address +
           "\" by its name, which Quelmo does not look up: write the address in digits, such "
           "as 192.168.1.20:3001";
  }
  if (!address.empty()) {
    return name + ", a file holding \"" + shownText(address) +
           "\", which is not a network address in digits such as 192.168.1.20:3001";
  }
  std::string target = linkTarget(name);
  if (target.empty()) return name + ", which is not a link to a device";
  char* resolved = ::realpath(name.c_str(), nullptr);
  std::string where = name + ", a link to " + target;
  if (resolved == nullptr) return where + ", which does not exist";
  if (target != resolved) where += ", which is " + std::string(resolved);
  std::free(resolved);
  return where;
}

std::string PosixSerialPorts::pathOf(int port) const {
  if (inRange(port) && throughEntry_[static_cast<std::size_t>(port)]) {
    return "COM" + std::to_string(port);
  }
  return deviceName(port);
}

int PosixSerialPorts::openSerial(int port, int baud) {
  if (!inRange(port)) return 0;
  closeSerial(port);
  OpenPort& slot = ports_[port];
  std::string name = pathOf(port);
  if (name.rfind("COM", 0) == 0) throughEntry_.set(static_cast<std::size_t>(port));
  std::string address = addressInEntry(name);
  // The speed is set where the radio is; it is not looked at here.
  if (!address.empty()) return openNetworkLink(port, address);
  int fd = openDevice(name, slot.fault);
  if (fd < 0) return 0;
  speed_t speed{};
  if (!findSpeed(baud, speed) || !setRawLine(fd, speed)) {
    closeDevice(fd, false);
    slot.fault = SerialFault::lineRefused;
    return 0;
  }
  slot = OpenPort{fd, defaultReadMultiplier};
  slot.fault = SerialFault::none;
  return 1;
}

int PosixSerialPorts::openNetworkLink(int port, const std::string& address) {
  if (!inRange(port)) return 0;
  closeSerial(port);
  OpenPort& slot = ports_[port];
  bool connecting = false;
  int fd = startConnection(address, connecting, slot.fault);
  if (fd < 0) return 0;
  slot = OpenPort{fd, defaultReadMultiplier, true, connecting,
                  Clock::now() + std::chrono::milliseconds(connectWaitMs), SerialFault::none};
  return 1;
}

// Kept for the port's next reads even while its connection is on its way.
int PosixSerialPorts::setSerialReadMode(int port, int multiplier) {
  if (!inRange(port) || ports_[port].fd < 0) return 0;
  ports_[port].readMultiplier = multiplier;
  return 1;
}

int PosixSerialPorts::setSerialFormat(int port, int dataBits, int parity, int stopBits) {
  constexpr tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
  if (dataBits < 5 || dataBits > 8) return 0;
#ifdef CMSPAR
  constexpr tcflag_t parities[] = {0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR,
                                   PARENB | CMSPAR};
  constexpr tcflag_t parityBits = PARENB | PARODD | CMSPAR;
#else
  constexpr tcflag_t parities[] = {0, PARENB | PARODD, PARENB};
  constexpr tcflag_t parityBits = PARENB | PARODD;
#endif
  if (parity < 0 || parity >= static_cast<int>(std::size(parities))) return 0;
  OpenPort* open = usable(port);
  if (open == nullptr) return 0;
  if (open->network) return 1;  // the line is set where the radio is
  termios line{};
  if (::tcgetattr(open->fd, &line) != 0) return 0;
  line.c_cflag &= ~(CSIZE | parityBits | CSTOPB);
  line.c_cflag |= sizes[dataBits - 5] | parities[parity] | (stopBits == 1 ? 0 : CSTOPB);
  // A parity error must not turn into extra bytes in the reply.
  line.c_iflag &= ~static_cast<tcflag_t>(INPCK | PARMRK);
  line.c_iflag |= IGNPAR;
  return ::tcsetattr(open->fd, TCSANOW, &line) == 0 ? 1 : 0;
}

int PosixSerialPorts::serialBytesWaiting(int port) {
  OpenPort* open = opened(port);  // a hung-up device fails the count
  if (open == nullptr) return 0;
  int waiting = 0;
  if (::ioctl(open->fd, FIONREAD, &waiting) != 0) {
    if (meansGone(errno)) lose(*open);
    return 0;
  }
  return std::max(waiting, 0);
}

int PosixSerialPorts::readSerial(int port, char* buffer, int maximum) {
  if (buffer == nullptr || maximum <= 0) return 0;
  OpenPort* open = usable(port);
  if (open == nullptr) return 0;
  bool waits = open->readMultiplier != -1;
  auto deadline =
      Clock::now() + std::chrono::milliseconds(readBudgetMs(open->readMultiplier, maximum));
  int stored = 0;
  while (stored < maximum) {
    ssize_t n = ::read(open->fd, buffer + stored, static_cast<std::size_t>(maximum - stored));
    if (n > 0) {
      stored += static_cast<int>(n);
      open->received = true;
      // One read takes all that has arrived: a read that does not wait
      // has nothing more to look for.
      if (!waits) break;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      if (meansGone(errno)) lose(*open);
      break;
    }
    // A connection read empty has been closed at the far end; a raw
    // terminal may report "nothing has arrived" that way.
    if (n == 0 && open->network) {
      lose(*open);
      break;
    }
    if (!waits) break;
    int waitMs = stored == 0 ? msUntil(deadline) : std::min(msUntil(deadline), readIntervalMs);
    if (waitMs <= 0) break;
    pollfd ready{open->fd, POLLIN, 0};
    if (::poll(&ready, 1, waitMs) <= 0) break;
    if ((ready.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      lose(*open);
      break;
    }
  }
  return stored;
}

int PosixSerialPorts::writeSerial(int port, const char* text, int length) {
  if (text == nullptr || length <= 0) return 0;
  OpenPort* open = opened(port);  // a hung-up device fails the write
  if (open == nullptr) return 0;
  // The line has no flow control, so a real port always drains; only a
  // device that has stopped taking bytes (a pseudo-terminal nobody reads)
  // makes the buffer stay full. Then the rest is given up after a short wait.
  auto deadline = Clock::now() + std::chrono::milliseconds(writeWaitMs);
  int written = 0;
  while (written < length) {
    ssize_t n = writeSome(open->fd, open->network, text + written,
                          static_cast<std::size_t>(length - written));
    if (n > 0) {
      written += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && meansGone(errno)) {
      lose(*open);
      break;
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) break;
    int waitMs = msUntil(deadline);
    if (waitMs <= 0) break;
    pollfd ready{open->fd, POLLOUT, 0};
    if (::poll(&ready, 1, waitMs) <= 0) break;
    if ((ready.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      lose(*open);
      break;
    }
  }
  return written;
}

int PosixSerialPorts::closeSerial(int port) {
  if (!inRange(port) || ports_[port].fd < 0) return 0;
  drop(ports_[port]);
  return 1;
}

SerialFault PosixSerialPorts::serialFault(int port) const {
  if (!inRange(port)) return SerialFault::noDevice;
  return ports_[port].fd >= 0 ? SerialFault::none : ports_[port].fault;
}

PosixSerialPorts::OpenPort* PosixSerialPorts::opened(int port) {
  if (!inRange(port) || ports_[port].fd < 0) return nullptr;
  OpenPort& open = ports_[port];
  if (open.connecting && !connectionDone(open)) return nullptr;
  return &open;
}

PosixSerialPorts::OpenPort* PosixSerialPorts::usable(int port) {
  OpenPort* open = opened(port);
  if (open != nullptr && hasHungUp(open->fd, open->network)) {
    lose(*open);
    return nullptr;
  }
  return open;
}

// A connection on its way takes no bytes yet; one that failed, or took too
// long, closes the port with the reason.
bool PosixSerialPorts::connectionDone(OpenPort& open) {
  SerialFault fault = SerialFault::none;
  if (connectionMade(open.fd, fault)) {
    open.connecting = false;
    return true;
  }
  if (fault == SerialFault::none && Clock::now() >= open.connectBy) fault = SerialFault::noServer;
  if (fault != SerialFault::none) drop(open, fault);
  return false;
}

void PosixSerialPorts::drop(OpenPort& open, SerialFault why) {
  if (open.fd >= 0) closeDevice(open.fd, open.network);
  open = OpenPort{};
  open.fault = why;
}
