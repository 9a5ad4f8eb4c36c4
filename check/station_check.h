// The station check: reads quelmo.cfg in the working folder exactly as the
// program does (readConfiguration), says in words and prints what it
// understood and where a line's form differs from the documented one, then
// asks the radio for its identity ("ID;") and says what it answered, or why
// it could not be reached. It sends the radio nothing else. Through rigctld
// (the option RIGCTLD) it asks rigctld which model it serves and the radio
// its frequency.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "state/front_panel.h"

// Where a port number leads, in words (the platform's own names).
using PortDescriber = std::function<std::string(int port)>;

// Returns 0 when every line has its documented form and the radio gave its
// identity; 1 otherwise.
int checkStation(FrontPanel& panel, std::ostream& out, const PortDescriber& whereItLeads);
