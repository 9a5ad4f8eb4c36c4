// Memory files as the program writes them, and a panel ready to read one.
#pragma once

#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "state/band_table.h"

namespace memoryFiles {

using Strings = std::vector<std::string>;

inline const std::string freshFile =
    "V1.9\r\n"
    "1001900000\r\n1003600000\r\n2005400000\r\n1007100000\r\n3010100000\r\n"
    "2014200000\r\n2018100000\r\n2021200000\r\n2024890000\r\n2028500000\r\n"
    "2050150000\r\n5145000000\r\n5432000000\r\n"
    "9\r\n9\r\n9\r\n9\r\n9\r\n9\r\n9\r\n9\r\n9\r\n9\r\n";

// The lines of a file written with CR LF after each.
inline Strings linesOf(const std::string& bytes) {
  Strings lines;
  for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  return lines;
}

inline std::string fileOf(const Strings& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

// A panel as the opening sequence leaves it before "memory.dat" is read.
inline void prepare(FrontPanel& panel) {
  panel.setInitialValues();
  panel.versionText = "1.9";
}

class MemoryFileTest : public AfterOpeningTest {
 protected:
  TemporaryDirectory folder;
};

}  // namespace memoryFiles
