// The reasons the radio cannot be reached, as the operator hears them and as
// standard error and the traffic log say them. Shared by the link watch and
// the station check.
#pragma once

#include <string_view>

#include "platform/platform.h"

enum class LinkFault {
  none,
  noPort,  // line 1 of quelmo.cfg names no port 1 to 256
  noDevice,
  denied,
  busy,
  lineRefused,
  noAnswer,
  noServer,
  serverClosed,
  notAnAddress,
  notUnderstood,  // it answers, but never as the dialect reads (radio/identity.cpp)
  // The radio behind rigctld (the option RIGCTLD): rigctld is not there,
  // closes the connection, does not answer, holds no address in digits;
  // rigctld answers that the radio does not answer it, or is switched off.
  noRigctld,
  rigctldClosed,
  rigctldSilent,
  rigctldNoAddress,
  radioSilent,
  radioOff,
};

// The reason behind a port that is not open; none for a port that is open,
// closed by the program, or whose device has only just gone.
LinkFault linkFaultOf(SerialFault fault);

// The reason as it stands for a link to rigctld rather than to a serial
// port or ser2net.
LinkFault overRigctld(LinkFault fault);

// The recorded word that says the reason ("" for none).
std::string_view linkFaultWord(LinkFault fault);
// The reason in a sentence, with what the operator can do about it.
std::string_view linkFaultText(LinkFault fault);
