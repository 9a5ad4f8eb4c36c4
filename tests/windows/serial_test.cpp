// The COM ports where no device answers: numbers out of range, a port that is
// not there, and a port never opened. Talking to a radio, on COM1 and on
// COM12, is tested end to end (test_wine_station.py), against quelmo-sim on a
// pseudo-terminal.
#include <gtest/gtest.h>

#include "platform/windows/win32_serial.h"

namespace {

TEST(Win32SerialPorts, PortsThatAreNotOpenDoNothingAndReturnZero) {
  Win32SerialPorts ports;
  char buffer[8] = "unread";
  for (int port : {-1, 0, 200, 257}) {
    EXPECT_EQ(ports.openSerial(port, 38400), 0) << port;  // COM200 is not there
    EXPECT_EQ(ports.setSerialReadMode(port, -1), 0) << port;
    EXPECT_EQ(ports.setSerialFormat(port, 8, 0, 2), 0) << port;
    EXPECT_EQ(ports.serialBytesWaiting(port), 0) << port;
    EXPECT_EQ(ports.readSerial(port, buffer, 8), 0) << port;
    EXPECT_EQ(ports.writeSerial(port, "FA;", 3), 0) << port;
    EXPECT_EQ(ports.closeSerial(port), 0) << port;
  }
  EXPECT_STREQ(buffer, "unread");
  // Why they are not open: no such device, or never opened.
  for (int port : {-1, 0, 200, 257}) EXPECT_EQ(ports.serialFault(port), SerialFault::noDevice);
  EXPECT_EQ(ports.serialFault(3), SerialFault::closed);
  EXPECT_EQ(ports.openSerial(3, 0), 0);
  EXPECT_EQ(ports.serialFault(3), SerialFault::lineRefused);
}

}  // namespace
