// The forms of every command the program writes to the radio. A fuzz run
// fails when anything else reaches the port.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// True when text is exactly one of the program's commands, ";" included.
bool isProgramCommand(std::string_view text);

// The commands in the bytes written to the port; a trailing part without
// ";" is returned as it is, so it fails the check.
std::vector<std::string> splitCommands(std::string_view bytes);
