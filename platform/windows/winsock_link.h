// A radio across the network on Windows: a TCP connection through Winsock
// to an address in digits ("127.0.0.1:4532", "[::1]:4532"), as rigctld
// serves one. The connection is made without waiting; once it is made its
// bytes travel unchanged. Every call returns at once but a waiting read and
// a write the far end does not take, which wait at most as long as they are
// told.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace winsock {

// A socket as Winsock numbers it (its SOCKET); noSocket for none.
using Socket = std::uintptr_t;
constexpr Socket noSocket = ~static_cast<Socket>(0);

// Starts a connection to the address, without waiting for it. Returns the
// socket (non-blocking), with `connecting` set while it is on its way, or
// noSocket with `fault` set: notAnAddress, noServer or denied.
Socket startConnection(const std::string& address, bool& connecting, SerialFault& fault);
// True once a connection on its way has been made; false while it is on
// its way (fault none) or when it failed (fault set).
bool connectionMade(Socket socket, SerialFault& fault);

// What the connection did: bytes moved, nothing to move yet, or the
// connection is gone (closed at the far end, or failed).
struct Transfer {
  int bytes = 0;
  bool gone = false;
};

// The bytes that have arrived, without reading them; gone when the far end
// has closed the connection and nothing is left to read.
Transfer bytesWaiting(Socket socket);
// Reads at most maximum bytes; with waitMs above 0 waits that long at most
// for the first of them.
Transfer receive(Socket socket, char* buffer, int maximum, int waitMs);
// Sends the bytes, waiting at most waitMs for room to send the rest.
Transfer sendAll(Socket socket, const char* bytes, int length, int waitMs);
void close(Socket socket);

}  // namespace winsock
