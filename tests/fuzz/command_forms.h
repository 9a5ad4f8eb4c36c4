// The forms of every command the program writes to the radio. A fuzz run
// fails when anything else reaches the port.
#pragma once

#include <string_view>

// True when text is exactly one of the program's commands, ";" included.
bool isProgramCommand(std::string_view text);
