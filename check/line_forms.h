// The forms of the lines of quelmo.cfg that the station guide
// (docs/station.md) describes. The program reads each value by position or
// by the line's length and never complains; a line whose form differs is
// read all the same, often as something else than meant ("POWER=50 " with a
// blank at its end is 9 characters long, which means 100 watts). These
// checks say so, line by line.
#pragma once

#include <string>
#include <vector>

struct FormWarning {
  int line;          // 1 for the first line
  std::string text;  // what differs, and what it is read as
};

// The warnings for the lines of a quelmo.cfg as read (without their line
// ends, whole however long), in the order of the lines. Lines after the eighth are options of
// the form NAME=value.
std::vector<FormWarning> formWarnings(const std::vector<std::string>& lines);
