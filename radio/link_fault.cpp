#include "radio/link_fault.h"

#include <array>

#include "state/words.h"

namespace {

struct FaultWords {
  LinkFault fault;
  SerialFault serial;
  std::string_view word;
  std::string_view text;
};

constexpr std::array<FaultWords, 16> faultWords = {{
    {LinkFault::noPort, SerialFault::none, word::checkLine,
     "line 1 of quelmo.cfg names no port: it should end in the port's number, 5 characters "
     "for ports 1 to 9 (port1), 6 for ports 10 to 99 (port12)"},
    {LinkFault::noDevice, SerialFault::noDevice, word::noDevice,
     "no such device: nothing is there where the port leads (the radio or its cable "
     "unplugged, or a COM link to the wrong place)"},
    {LinkFault::denied, SerialFault::denied, word::denied,
     "permission denied: add yourself to the dialout group, then log out and in again"},
    {LinkFault::busy, SerialFault::busy, word::busy,
     "the device is busy: another program holds it (brltty, or another radio program)"},
    {LinkFault::lineRefused, SerialFault::lineRefused, word::speedRefused,
     "the port refused the speed of line 2 of quelmo.cfg"},
    {LinkFault::noServer, SerialFault::noServer, word::noServer,
     "no server at the network address in the COM file: the computer beside the radio is off "
     "or out of reach, or ser2net is not running there"},
    {LinkFault::serverClosed, SerialFault::serverClosed, word::serverBusy,
     "the server at the network address closed the connection at once: it serves another "
     "program already (one at a time: another Quelmo, or the station check), or it cannot "
     "open the radio's port there"},
    {LinkFault::notAnAddress, SerialFault::notAnAddress, word::noAddress,
     "the COM file holds no network address in digits: a host name such as localhost is not "
     "looked up; write the address as 192.168.1.20:3001"},
    {LinkFault::noAnswer, SerialFault::none, word::noAnswer,
     "no answer: the radio is off, or its CAT speed differs from line 2 of quelmo.cfg, or "
     "its CAT time-out is too short"},
    {LinkFault::notUnderstood, SerialFault::none, word::notUnderstood,
     "radio not understood: it answers, but not as a Yaesu FT radio does; a radio of another "
     "maker is reached through Hamlib's rigctld: add RIGCTLD=address:port to quelmo.cfg (see "
     "the section on other makers' radios in docs/station.md)"},
    {LinkFault::noRigctld, SerialFault::none, word::noServer,
     "nothing listens at the address of RIGCTLD in quelmo.cfg: rigctld is not running there, or "
     "the address or its port number is wrong"},
    {LinkFault::rigctldClosed, SerialFault::none, word::noServer,
     "rigctld closed the connection at once: it is ending, or it cannot open the radio's port"},
    {LinkFault::rigctldSilent, SerialFault::none, word::noAnswer,
     "no answer from rigctld: it waits for the radio, which is off, or whose port, speed or "
     "model number given to rigctld is wrong"},
    {LinkFault::rigctldNoAddress, SerialFault::none, word::noAddress,
     "RIGCTLD in quelmo.cfg holds no network address in digits: a host name such as localhost "
     "is not looked up; write the address as 127.0.0.1:4532"},
    {LinkFault::radioSilent, SerialFault::none, word::noAnswer,
     "rigctld gets no answer from the radio: the radio is off, or the port, speed or model "
     "number given to rigctld is wrong"},
    {LinkFault::radioOff, SerialFault::none, word::radioOff,
     "rigctld says the radio is switched off: switch it on"},
}};

struct OverRigctld {
  LinkFault serialOrNetwork;
  LinkFault rigctld;
};
constexpr std::array<OverRigctld, 4> overRigctldFaults = {{
    {LinkFault::noServer, LinkFault::noRigctld},
    {LinkFault::serverClosed, LinkFault::rigctldClosed},
    {LinkFault::noAnswer, LinkFault::rigctldSilent},
    {LinkFault::notAnAddress, LinkFault::rigctldNoAddress},
}};

const FaultWords* find(LinkFault fault) {
  for (const auto& row : faultWords) {
    if (row.fault == fault) return &row;
  }
  return nullptr;
}

}  // namespace

LinkFault linkFaultOf(SerialFault fault) {
  for (const auto& row : faultWords) {
    if (fault != SerialFault::none && row.serial == fault) return row.fault;
  }
  return LinkFault::none;
}

LinkFault overRigctld(LinkFault fault) {
  for (const auto& row : overRigctldFaults) {
    if (row.serialOrNetwork == fault) return row.rigctld;
  }
  return fault;
}

std::string_view linkFaultWord(LinkFault fault) {
  const FaultWords* row = find(fault);
  return row == nullptr ? std::string_view() : row->word;
}

std::string_view linkFaultText(LinkFault fault) {
  const FaultWords* row = find(fault);
  return row == nullptr ? std::string_view() : row->text;
}
