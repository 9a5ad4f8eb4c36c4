// A radio across the network: its serial port served over TCP by a program
// on the computer beside it (ser2net). The entry "COMn" in the working
// folder is then a plain file whose first line is the address, in digits:
// "192.168.1.20:3001", or "[fe80::1]:3001" for IPv6. The bytes travel
// unchanged; the line speed is set where the radio is.
#pragma once

#include <string>

#include "platform/platform.h"

// The address that the plain file `entry` names, without blanks or line
// end; empty when the entry is not a plain file. Only the file's first 256
// bytes are read: a longer first line is cut there, and is no address.
std::string addressInEntry(const std::string& entry);

// True for an address of the form above.
bool isNetworkAddress(const std::string& address);
// True for a host name in place of the address ("localhost:3001"): it is
// never looked up, since a look-up could hold the program for seconds.
bool namesAHost(const std::string& address);

// Starts a connection to an address of the form above, without waiting for
// it. Returns the socket (non-blocking) with `connecting` set while the
// connection is still on its way, or -1 with `fault` set: notAnAddress,
// noServer, or denied.
int startConnection(const std::string& address, bool& connecting, SerialFault& fault);

// Looks, without waiting, whether a connection under way has been made:
// true when it has; false while it is still on its way (fault none) or when
// it failed (fault set).
bool connectionMade(int socket, SerialFault& fault);
