// The termios serial layer on a pseudo-terminal pair: the program opens the
// slave side through a "COMn" link, the test plays the radio on the master.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop/posix_serial.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A fresh empty working directory for the length of one test.
class ScratchFolder {
 public:
  ScratchFolder() : previous_(fs::current_path()) {
    std::string pattern = (fs::temp_directory_path() / "quelmo-serial-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
    fs::current_path(path_);
  }
  ~ScratchFolder() {
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  fs::path path_;
  fs::path previous_;
};

// The radio's end of a pseudo-terminal pair.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    char name[128] = {};
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
      ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
      return;
    }
    slaveName_ = name;
  }
  ~PseudoTerminal() { hangUp(); }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& slaveName() const { return slaveName_; }

  // Makes "COMn" in the working directory lead to the slave side.
  void linkAs(const std::string& entry) const { fs::create_symlink(slaveName_, entry); }

  void send(const std::string& bytes) const {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // What the program wrote, up to count bytes or until nothing more comes.
  std::string receive(std::size_t count, int waitMs = 500) const {
    std::string got;
    auto start = Clock::now();
    while (got.size() < count && msSince(start) < waitMs) {
      pollfd ready{master_, POLLIN, 0};
      if (::poll(&ready, 1, 20) <= 0) continue;
      char chunk[4096];
      ssize_t n = ::read(master_, chunk, std::min(sizeof chunk, count - got.size()));
      if (n <= 0) break;
      got.append(chunk, static_cast<std::size_t>(n));
    }
    return got;
  }

  // The slave side's line settings, as the program left them.
  termios line() const {
    termios settings{};
    EXPECT_EQ(::tcgetattr(master_, &settings), 0);
    return settings;
  }

  void hangUp() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string slaveName_;
};

class SerialPortTest : public ::testing::Test {
 protected:
  SerialPortTest() { radio.linkAs("COM1"); }

  // Waits until the port reports count bytes received (delivery through the
  // pseudo-terminal takes a moment).
  int waitForBytes(int count) {
    auto start = Clock::now();
    while (ports.serialBytesWaiting(1) < count && msSince(start) < 1000) ::usleep(1000);
    return ports.serialBytesWaiting(1);
  }

  ScratchFolder folder;
  PseudoTerminal radio;
  PosixSerialPorts ports;
};

TEST_F(SerialPortTest, BytesTravelUnchangedBothWays) {
  ASSERT_EQ(ports.openSerial(1, 38400), 1);
  ASSERT_EQ(ports.setSerialReadMode(1, -1), 1);
  // Line ends, flow-control and interrupt characters must pass as data.
  const std::string command("FA014200000;\r\n\x11\x13\x03\x7f\xff", 19);
  EXPECT_EQ(ports.writeSerial(1, command.data(), static_cast<int>(command.size())), 19);
  EXPECT_EQ(radio.receive(100), command);

  const std::string reply("SM0015;\r\x11\x13\x03\x04\n", 13);
  radio.send(reply);
  EXPECT_EQ(waitForBytes(13), 13);
  char buffer[64] = {};
  EXPECT_EQ(ports.readSerial(1, buffer, sizeof buffer), 13);
  EXPECT_EQ(std::string(buffer, 13), reply);
  EXPECT_EQ(ports.serialBytesWaiting(1), 0);
}

TEST_F(SerialPortTest, OpensRaw8N1WithoutFlowControlAndSetsTheFormat) {
  ASSERT_EQ(ports.openSerial(1, 9600), 1);
  termios line = radio.line();
  EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B9600));
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL), 0u);
  EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(line.c_oflag & OPOST, 0u);

  // A pseudo-terminal keeps 8 bits without parity whatever is asked, so only
  // the stop bits show here.
  EXPECT_EQ(ports.setSerialFormat(1, 7, 2, 2), 1);
  EXPECT_EQ(radio.line().c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
  EXPECT_EQ(ports.setSerialFormat(1, 8, 1, 1), 1);
  EXPECT_EQ(radio.line().c_cflag & CSTOPB, 0u);
  EXPECT_EQ(ports.setSerialFormat(1, 5, 4, 0), 1);  // any code but 1: two stop bits
  EXPECT_EQ(radio.line().c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));

  // Values the line cannot take change nothing.
  EXPECT_EQ(ports.setSerialFormat(1, 8, 0, 1), 1);
  for (auto [bits, parity] : {std::pair{9, 0}, {4, 0}, {8, 5}, {8, -1}}) {
    EXPECT_EQ(ports.setSerialFormat(1, bits, parity, 2), 0);
  }
  EXPECT_EQ(radio.line().c_cflag & CSTOPB, 0u);
}

TEST_F(SerialPortTest, ImmediateReadsNeverWaitAndTimedReadsStayShort) {
  ASSERT_EQ(ports.openSerial(1, 38400), 1);
  char buffer[16];
  // Just opened, a read waits 5 ms per byte asked for, then gives up.
  auto start = Clock::now();
  EXPECT_EQ(ports.readSerial(1, buffer, 10), 0);
  EXPECT_GE(msSince(start), 40);
  EXPECT_LT(msSince(start), 1000);

  ASSERT_EQ(ports.setSerialReadMode(1, -1), 1);
  start = Clock::now();
  for (int i = 0; i < 100; ++i) EXPECT_EQ(ports.readSerial(1, buffer, sizeof buffer), 0);
  EXPECT_LT(msSince(start), 100);

  // A multiplier of 0 would wait forever for a first byte; it is bounded.
  ASSERT_EQ(ports.setSerialReadMode(1, 0), 1);
  start = Clock::now();
  EXPECT_EQ(ports.readSerial(1, buffer, sizeof buffer), 0);
  EXPECT_LT(msSince(start), 2000);
}

TEST_F(SerialPortTest, TimedReadCollectsBytesArrivingWithinItsTime) {
  ASSERT_EQ(ports.openSerial(1, 38400), 1);
  ASSERT_EQ(ports.setSerialReadMode(1, 100), 1);
  radio.send("FA0142");
  char buffer[11] = {};
  auto start = Clock::now();
  EXPECT_EQ(ports.readSerial(1, buffer, 6), 6);
  EXPECT_LT(msSince(start), 500);  // returns as soon as all bytes are there
  EXPECT_EQ(std::string(buffer, 6), "FA0142");
}

TEST_F(SerialPortTest, ShortReadLeavesTheRestOfTheBufferAlone) {
  ASSERT_EQ(ports.openSerial(1, 38400), 1);
  ASSERT_EQ(ports.setSerialReadMode(1, -1), 1);
  radio.send("xyz");
  ASSERT_EQ(waitForBytes(3), 3);
  char buffer[11] = "ABCDEFGHIJ";
  EXPECT_EQ(ports.readSerial(1, buffer, 10), 3);
  EXPECT_EQ(std::string(buffer), "xyzDEFGHIJ");

  radio.send("12345");
  ASSERT_EQ(waitForBytes(5), 5);
  EXPECT_EQ(ports.readSerial(1, buffer, 2), 2);
  EXPECT_EQ(std::string(buffer), "12zDEFGHIJ");
  EXPECT_EQ(ports.serialBytesWaiting(1), 3);
}

TEST_F(SerialPortTest, PortNumbersNameLocalEntriesOrSystemPorts) {
  EXPECT_EQ(PosixSerialPorts::deviceName(1), "COM1");
  EXPECT_EQ(PosixSerialPorts::deviceName(10), "/dev/ttyS9");
  EXPECT_EQ(PosixSerialPorts::deviceName(256), "/dev/ttyS255");
  EXPECT_EQ(PosixSerialPorts::deviceName(0), "");
  EXPECT_EQ(PosixSerialPorts::deviceName(257), "");

  radio.linkAs("COM10");
  EXPECT_EQ(PosixSerialPorts::deviceName(10), "COM10");
  ASSERT_EQ(ports.openSerial(10, 4800), 1);
  EXPECT_EQ(ports.writeSerial(10, "PS0;", 4), 4);
  EXPECT_EQ(radio.receive(4), "PS0;");

  // A link to an unplugged adapter names its port still; the open fails.
  fs::create_symlink("/dev/quelmo-no-such-adapter", "COM3");
  EXPECT_EQ(PosixSerialPorts::deviceName(3), "COM3");
  EXPECT_EQ(ports.openSerial(3, 9600), 0);
  // A plain file is not a serial device.
  std::fclose(std::fopen("COM4", "w"));
  EXPECT_EQ(ports.openSerial(4, 9600), 0);
}

TEST_F(SerialPortTest, PortsOutOfRangeOrClosedDoNothing) {
  char buffer[8] = "abcdefg";
  for (int port : {0, 257, -1, 100000}) {
    SCOPED_TRACE(port);
    EXPECT_EQ(ports.openSerial(port, 9600), 0);
    EXPECT_EQ(ports.setSerialReadMode(port, -1), 0);
    EXPECT_EQ(ports.setSerialFormat(port, 8, 0, 1), 0);
    EXPECT_EQ(ports.serialBytesWaiting(port), 0);
    EXPECT_EQ(ports.readSerial(port, buffer, 7), 0);
    EXPECT_EQ(ports.writeSerial(port, "FA;", 3), 0);
    EXPECT_EQ(ports.closeSerial(port), 0);
  }

  ASSERT_EQ(ports.openSerial(1, 9600), 1);
  EXPECT_EQ(ports.closeSerial(1), 1);
  EXPECT_EQ(ports.closeSerial(1), 0);
  radio.send("FA014200000;");
  EXPECT_EQ(ports.writeSerial(1, "FA;", 3), 0);
  EXPECT_EQ(ports.serialBytesWaiting(1), 0);
  EXPECT_EQ(ports.readSerial(1, buffer, 7), 0);
  EXPECT_EQ(ports.setSerialReadMode(1, -1), 0);
  EXPECT_EQ(ports.setSerialFormat(1, 8, 0, 2), 0);
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_EQ(ports.writeSerial(2, "FA;", 3), 0);  // never opened
}

TEST_F(SerialPortTest, DeviceIsOursAloneUntilClosed) {
  radio.linkAs("COM2");
  ASSERT_EQ(ports.openSerial(1, 9600), 1);
  EXPECT_EQ(ports.openSerial(2, 9600), 0);  // the same device by another number
  PosixSerialPorts otherProgram;
  EXPECT_EQ(otherProgram.openSerial(1, 9600), 0);
  EXPECT_EQ(ports.writeSerial(1, "FA;", 3), 3);  // the failed opens left ours working

  ports.closeSerial(1);
  EXPECT_EQ(otherProgram.openSerial(1, 9600), 1);
}

TEST_F(SerialPortTest, SpeedsTermiosLacksFailAndReleaseTheDevice) {
  for (int speed : {12345, 0, -9600, 14400}) {
    SCOPED_TRACE(speed);
    EXPECT_EQ(ports.openSerial(1, speed), 0);
    EXPECT_EQ(ports.writeSerial(1, "FA;", 3), 0);
  }
  EXPECT_EQ(ports.openSerial(1, 115200), 1);
  termios line = radio.line();
  EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B115200));
  // Opening an open number again starts it afresh at the new speed.
  EXPECT_EQ(ports.openSerial(1, 4800), 1);
  line = radio.line();
  EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B4800));
}

TEST_F(SerialPortTest, WriterWhoseRadioNeverReadsIsNotHeld) {
  ASSERT_EQ(ports.openSerial(1, 38400), 1);
  const std::string flood(1 << 20, 'F');
  auto start = Clock::now();
  int written = ports.writeSerial(1, flood.data(), static_cast<int>(flood.size()));
  EXPECT_GT(written, 0);
  EXPECT_LT(written, static_cast<int>(flood.size()));
  EXPECT_LT(msSince(start), PosixSerialPorts::writeWaitMs + 1000);

  // The radio catches up: the port works on.
  EXPECT_EQ(radio.receive(static_cast<std::size_t>(written), 3000).size(),
            static_cast<std::size_t>(written));
  EXPECT_EQ(ports.writeSerial(1, "FA;", 3), 3);
  EXPECT_EQ(radio.receive(3), "FA;");
}

// Why a port is not open, as the program tells the operator.
// A COMn entry that was opened is kept to: once it is gone the port finds
// no device, and the computer's own port of that number is never tried.
TEST_F(SerialPortTest, EntryOpenedOnceIsKeptToWhileItIsGone) {
  ASSERT_EQ(ports.openSerial(1, 38400), 1);
  fs::remove("COM1");
  EXPECT_EQ(PosixSerialPorts::deviceName(1), "/dev/ttyS0");  // for a new start
  EXPECT_EQ(ports.pathOf(1), "COM1");
  EXPECT_EQ(ports.openSerial(1, 38400), 0);
  EXPECT_EQ(ports.serialFault(1), SerialFault::noDevice);
  radio.linkAs("COM1");  // back
  EXPECT_EQ(ports.openSerial(1, 38400), 1);
  EXPECT_EQ(ports.writeSerial(1, "FA;", 3), 3);
  EXPECT_EQ(radio.receive(3), "FA;");

  // A port never opened through an entry still falls back to the system's.
  EXPECT_EQ(ports.pathOf(2), "/dev/ttyS1");
}

// A COMn file is looked at every second while the radio is missing: only
// its first bytes are read, however large it is, and a first line longer
// than an address is none.
TEST_F(SerialPortTest, HugeOrEndlessPortFileIsReadOnlyAtItsStart) {
  std::FILE* huge = std::fopen("COM5", "w");
  ASSERT_EQ(::ftruncate(::fileno(huge), 1LL << 30), 0);  // 1 GiB of NULs, sparse
  std::fclose(huge);
  fs::create_symlink("/proc/self/pagemap", "COM6");  // size 0, endless
  std::FILE* longLine = std::fopen("COM7", "w");
  std::fputs((std::string(300, '1') + ":3001\n").c_str(), longLine);
  std::fclose(longLine);
  for (int port : {5, 6, 7}) {
    SCOPED_TRACE(port);
    auto start = Clock::now();
    for (int i = 0; i < 20; ++i) EXPECT_EQ(ports.openSerial(port, 38400), 0);
    EXPECT_LT(msSince(start), 200);
    EXPECT_EQ(ports.serialFault(port), SerialFault::notAnAddress);
  }
  std::string where = PosixSerialPorts::whereItLeads(5);
  EXPECT_NE(where.find("a file holding \"" + std::string(60, '?') + "...\""), std::string::npos)
      << where;
}

TEST_F(SerialPortTest, FaultSaysWhyThePortIsNotOpen) {
  EXPECT_EQ(ports.serialFault(1), SerialFault::closed);
  ASSERT_EQ(ports.openSerial(1, 38400), 1);
  EXPECT_EQ(ports.serialFault(1), SerialFault::none);
  PosixSerialPorts otherProgram;
  EXPECT_EQ(otherProgram.openSerial(1, 38400), 0);
  EXPECT_EQ(otherProgram.serialFault(1), SerialFault::busy);
  ports.closeSerial(1);
  EXPECT_EQ(ports.serialFault(1), SerialFault::closed);

  fs::create_symlink("/dev/quelmo-no-such-adapter", "COM3");
  std::fclose(std::fopen("COM4", "w"));  // neither a device nor an address
  const std::pair<int, int> refused[] = {{1, 12345}, {3, 38400}, {4, 38400}, {0, 38400}};
  const SerialFault why[] = {SerialFault::lineRefused, SerialFault::noDevice,
                             SerialFault::noDevice, SerialFault::noDevice};
  for (std::size_t i = 0; i < std::size(refused); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ports.openSerial(refused[i].first, refused[i].second), 0);
    EXPECT_EQ(ports.serialFault(refused[i].first), why[i]);
  }
  if (::geteuid() != 0) {  // permissions do not hold for root
    fs::permissions(radio.slaveName(), fs::perms::none);
    EXPECT_EQ(ports.openSerial(1, 38400), 0);
    EXPECT_EQ(ports.serialFault(1), SerialFault::denied);
  }
}

// A plain file "COMn" naming a network address: the bytes travel over TCP;
// the far end closing is a device gone; a server that closes a connection
// before it served a byte serves another program; a refused connection is
// no server; a name is no address.
TEST(NetworkLink, AddressEntryCarriesTheBytesAndNoticesTheFarEndGoing) {
  ScratchFolder folder;
  int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(::listen(listener, 1), 0);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  std::string entry = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  std::FILE* file = std::fopen("COM1", "w");
  std::fprintf(file, " %s \r\n", entry.c_str());
  std::fclose(file);
  EXPECT_NE(PosixSerialPorts::whereItLeads(1).find("network address " + entry), std::string::npos);

  PosixSerialPorts ports;
  ASSERT_EQ(ports.openSerial(1, 12345), 1);  // the speed is set where the radio is
  ASSERT_EQ(ports.setSerialReadMode(1, -1), 1);
  int server = ::accept(listener, nullptr, nullptr);
  ASSERT_GE(server, 0);
  auto start = Clock::now();
  while (ports.writeSerial(1, "FA;", 3) == 0 && msSince(start) < 1000) ::usleep(1000);
  char got[8] = {};
  EXPECT_EQ(::recv(server, got, 3, MSG_WAITALL), 3);
  EXPECT_STREQ(got, "FA;");
  EXPECT_EQ(::send(server, "FA014200000;", 12, 0), 12);
  start = Clock::now();
  while (ports.serialBytesWaiting(1) < 12 && msSince(start) < 1000) ::usleep(1000);
  char reply[16] = {};
  EXPECT_EQ(ports.readSerial(1, reply, sizeof reply), 12);
  EXPECT_STREQ(reply, "FA014200000;");
  EXPECT_EQ(ports.setSerialFormat(1, 8, 0, 2), 1);

  // The far end goes: writes find it out without a signal, reads at once.
  ::close(server);
  start = Clock::now();
  while (ports.serialFault(1) == SerialFault::none && msSince(start) < 1000) {
    ports.writeSerial(1, "FA;", 3);
    ::usleep(1000);
  }
  EXPECT_EQ(ports.serialFault(1), SerialFault::gone);
  EXPECT_EQ(ports.readSerial(1, reply, sizeof reply), 0);

  ASSERT_EQ(ports.openSerial(1, 38400), 1);
  ::close(::accept(listener, nullptr, nullptr));
  start = Clock::now();
  while (ports.serialFault(1) == SerialFault::none && msSince(start) < 1000) {
    ports.writeSerial(1, "FA;", 3);
    ports.readSerial(1, reply, sizeof reply);
    ::usleep(1000);
  }
  EXPECT_EQ(ports.serialFault(1), SerialFault::serverClosed);

  // Nobody listens now: the connection is refused, at once or as soon as
  // the port is used.
  ::close(listener);
  ports.openSerial(1, 38400);
  start = Clock::now();
  while (ports.writeSerial(1, "FA;", 3) == 0 && ports.serialFault(1) == SerialFault::none &&
         msSince(start) < 1000) {
    ::usleep(1000);
  }
  EXPECT_EQ(ports.serialFault(1), SerialFault::noServer);
  const std::pair<const char*, SerialFault> entries[] = {
      {"localhost:3001", SerialFault::notAnAddress},
      {"127.0.0.1", SerialFault::notAnAddress},
      {"127.0.0.1:port", SerialFault::notAnAddress},
      {"", SerialFault::noDevice}};
  for (const auto& [text, fault] : entries) {
    SCOPED_TRACE(text);
    file = std::fopen("COM1", "w");
    std::fputs(text, file);
    std::fclose(file);
    EXPECT_EQ(ports.openSerial(1, 38400), 0);
    EXPECT_EQ(ports.serialFault(1), fault);
    EXPECT_EQ(PosixSerialPorts::whereItLeads(1).find("by its name") != std::string::npos,
              text[0] == 'l');
  }
}

// Uses a port after the radio's end has gone, the calls in turn from the
// one numbered `first` on (0 read, 1 write, 2 bytes waiting, 3 format): each
// must notice the hang-up by itself. The result is 0 when every call returned
// 0 at once and the first call had already closed the port.
int useAPortWhoseOtherEndHungUp(int readMultiplier, int first) {
  ScratchFolder folder;
  PseudoTerminal radio;
  radio.linkAs("COM1");
  PosixSerialPorts ports;
  if (ports.openSerial(1, 9600) != 1) return 11;
  ports.setSerialReadMode(1, readMultiplier);
  radio.send("FA");
  radio.hangUp();
  char buffer[32];
  const std::function<int()> calls[] = {
      [&] { return ports.readSerial(1, buffer, sizeof buffer); },
      [&] { return ports.writeSerial(1, "FA;", 3); },
      [&] { return ports.serialBytesWaiting(1); },
      [&] { return ports.setSerialFormat(1, 8, 0, 2); },
  };
  auto start = Clock::now();
  int results = calls[first]();
  if (ports.serialFault(1) != SerialFault::gone) return 15;
  if (ports.closeSerial(1) != 0) return 14;  // closed already when found gone
  for (int i = 0; i < 1000; ++i) {
    for (int c = 0; c < 4; ++c) results += calls[(first + c) % 4]();
  }
  if (results != 0) return 12;
  if (msSince(start) > 500) return 13;
  return 0;
}

// In a child that leads its own session: were the port to become its
// controlling terminal, the hang-up would send SIGHUP and end it.
[[noreturn]] void hangUpInOwnSession(int readMultiplier, int first) {
  if (::setsid() < 0) ::_exit(10);
  ::_exit(useAPortWhoseOtherEndHungUp(readMultiplier, first));
}

TEST(SerialPortHangUp, PortWhoseOtherEndHungUpGoesQuietAndCheap) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(hangUpInOwnSession(-1, 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(hangUpInOwnSession(5, 0), ::testing::ExitedWithCode(0), "");
  for (int first = 1; first < 4; ++first) {
    EXPECT_EXIT(hangUpInOwnSession(-1, first), ::testing::ExitedWithCode(0), "") << first;
  }
}

}  // namespace
