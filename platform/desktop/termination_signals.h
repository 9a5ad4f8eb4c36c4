// The signals that ask a program to end (SIGTERM, SIGINT, SIGHUP for a
// closed terminal, SIGQUIT) become the window's close request, so that every
// one of them ends the program in order: they are caught, noted, and made
// to wake the window's event wait. SIGPIPE is ignored: a closed pipe on
// standard error must not end the program half way through its end.
#pragma once

namespace terminationSignals {

// Installs the handlers once for the whole process; later calls do nothing.
void install();
// A descriptor that becomes readable when a signal has arrived, for poll().
int wakeDescriptor();
// True once for each time signals arrived since the last call.
bool take();
// True while signals have arrived that take() has not yet taken.
bool pending();

}  // namespace terminationSignals
