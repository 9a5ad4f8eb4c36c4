// The watch on the link to the radio, run at the start of every poll tick.
//
// The radio counts as answering while its replies come (one every other
// tick; takeReading tells of each). A second without one, or a port that
// cannot be opened, is said once, with its reason: "lost" first when the
// radio had answered before, then the reason's word; standard error and the
// traffic log get the same reason in a sentence. While the radio is missing the port is
// opened again about once a second, so an adapter plugged in again, a link
// whose device appears later or a network server started again is found;
// the radio's next frequency reply says "connected" again (readFrequencyReply)
// and the poll carries on. Nothing is sent to bring the radio back to the
// program's state: it is followed from its replies, as at any time.
#include <cstdio>
#include <string>

#include "radio/link_fault.h"
#include "state/front_panel.h"
#include "state/window_layout.h"
#include "state/words.h"

namespace {

constexpr int ticksToLoss = 20;        // a second of 50 ms ticks without a reply
constexpr int ticksBetweenOpens = 20;  // the port is opened again about once a second
constexpr int firstPort = 1;
constexpr int lastPort = 256;

int bitOf(LinkFault fault) { return 1 << static_cast<int>(fault); }

// The window no longer shows the last readings as if they were current.
void wipeReadings(FrontPanel& p) {
  p.platform.setTextPosition(layout::frequencyX, layout::frequencyY);
  p.platform.printText(blanks(layout::frequencyWidth));
  p.platform.setTextPosition(layout::sMeterX, layout::sMeterY);
  p.platform.printText(blanks(layout::sMeterWidth));
}

// Whether a reason said since the radio was last found has the same word:
// rigctld's silence and the radio's behind it are both "no answer".
bool wordSaid(const FrontPanel& p, LinkFault fault) {
  for (int said = 0; said <= static_cast<int>(LinkFault::radioOff); ++said) {
    LinkFault saidFault = static_cast<LinkFault>(said);
    if ((p.linkFaultsSaid & bitOf(saidFault)) != 0 &&
        linkFaultWord(saidFault) == linkFaultWord(fault)) {
      return true;
    }
  }
  return false;
}

// Each reason is said once until the radio answers again.
void reportLinkFault(FrontPanel& p, LinkFault fault) {
  if (!p.rigctldAddress.empty()) fault = overRigctld(fault);
  if (fault == LinkFault::none || (p.linkFaultsSaid & bitOf(fault)) != 0) return;
  bool heard = wordSaid(p, fault);
  p.linkFaultsSaid |= bitOf(fault);
  std::string text = p.linkName() + ": ";
  if (p.connectedSpoken == 1) {
    // The radio had answered: it is lost until its next frequency reply.
    p.connectedSpoken = 0;
    p.radioLost = 1;
    p.speakWord(word::lost);
    wipeReadings(p);
    text = "radio lost, " + text;
  }
  // A closer reason with the word already heard is only written down.
  if (!heard) p.speakWord(linkFaultWord(fault));
  if (fault == LinkFault::noPort) p.speakWord(word::digit(1));  // "check line one"
  text += linkFaultText(fault);
  p.writeLogLine("LINK=" + text);
  std::fprintf(stderr, "quelmo: %s\n", text.c_str());
}

// Why the radio is silent: what its server said of it, else no answer.
LinkFault silenceOf(Absence absence) {
  switch (absence) {
    case Absence::silent:
      return LinkFault::radioSilent;
    case Absence::switchedOff:
      return LinkFault::radioOff;
    case Absence::unknown:
      break;
  }
  return LinkFault::noAnswer;
}

}  // namespace

std::string FrontPanel::linkName() const {
  if (!rigctldAddress.empty()) return "rigctld at " + rigctldAddress;
  return "port" + textOf(comPort);
}

bool FrontPanel::watchLink() {
  // No port to open: said once, and nothing is tried.
  if (comPort < firstPort || comPort > lastPort) {
    reportLinkFault(*this, LinkFault::noPort);
    return false;
  }
  ++ticksSinceOpen;
  SerialFault fault = platform.serialFault(comPort);
  if (fault == SerialFault::none) {
    if (++ticksWithoutReply < ticksToLoss) return true;
    reportLinkFault(*this, silenceOf(radioAbsence));
    // rigctld's connection stays: rigctld is there, and its answers, late
    // as they may come while it waits for the radio, tell why.
    if (!rigctldAddress.empty()) return true;
  } else if (fault == SerialFault::gone) {
    ticksSinceOpen = ticksBetweenOpens;  // the device has just gone: look for it at once
  } else {
    reportLinkFault(*this, linkFaultOf(fault));
  }
  // A port that is open but silent is opened again too: its name may lead
  // elsewhere by now (a COMn link made after the start), and a network
  // connection may have died without a word.
  if (ticksSinceOpen < ticksBetweenOpens) return fault == SerialFault::none;
  ticksSinceOpen = 0;
  openRadioPort();
  fault = platform.serialFault(comPort);
  reportLinkFault(*this, linkFaultOf(fault));
  return fault == SerialFault::none;
}

void FrontPanel::radioAnswered() {
  ticksWithoutReply = 0;
  radioLost = 0;
  linkFaultsSaid = 0;
  radioAbsence = Absence::unknown;
}
