// Line 1 of quelmo.cfg names the radio's port by the number it ends with,
// one or two digits: "port1", "COM=3", "port12", and "COM12" as Windows'
// Device Manager names the port. A longer run of digits is read by its last
// two, as a 6-character line always was; a line that ends in no digit
// names port 0, no port.
#pragma once

#include <string_view>

int portOfLine(std::string_view line);

// How many digits the line ends with (more than two: only two are read).
int trailingDigits(std::string_view line);
