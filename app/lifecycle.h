// The program's life: start-up, the main loop and the orderly end.
#pragma once

#include "state/front_panel.h"

// Runs the program on the panel's platform until the operator ends it.
// The result is the exit code, 0 on every path.
int runQuelmo(FrontPanel& panel);
