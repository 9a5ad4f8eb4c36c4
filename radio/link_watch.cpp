// The watch on the link to the radio, run at the start of every poll tick.
//
// The radio counts as answering while its replies come (one every other
// tick; takeReading tells of each). A second without one, or a port that
// cannot be opened, is said once, with its reason: "lost" first when the
// radio had answered before, then the reason's word; standard error and the
// traffic log get the same reason in a sentence. While the radio is missing the port is
// opened again about once a second, so an adapter plugged in again, a link
// whose device appears later or a network server started again is found.
//
// The radio's first answer, at the start, later or after a loss, finds it
// (radioFound): before anything is said about it, it is brought to the
// opening's state if it missed the opening's commands, and asked who it is
// (radio/identity.cpp), its mode and frequency; the frequency's answer says
// "connected" again and the poll carries on.
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

// The window no longer shows the last readings as if they were current, and
// the meters have none.
void wipeReadings(FrontPanel& p) {
  p.sMeterTick = noReading;
  p.swrTick = noReading;
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
  // The radio found again may be another one: it is asked who it is, and
  // what it says is judged afresh.
  p.radioIdentified = 0;
  p.foreignReply.clear();
  p.notUnderstoodSaid = 0;
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
    watchUnderstanding();
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
  bool wasOpen = fault == SerialFault::none;
  openRadioPort();
  fault = platform.serialFault(comPort);
  reportLinkFault(*this, linkFaultOf(fault));
  // A port that appears after a start without it (the adapter plugged in
  // later, the link made later): the radio behind it may be off, so with
  // power switching it is switched on as the opening would have.
  if (fault == SerialFault::none && !wasOpen && powerControl == 1 && foundSinceStart == 0) {
    switchRadioOn();
  }
  return fault == SerialFault::none;
}

// Any answer: the radio is there, though not found until radioFound says so.
void FrontPanel::radioAnswered() {
  ticksWithoutReply = 0;
  radioAbsence = Absence::unknown;
}

// This is the one place where the radio is found, every time it is. A
// radio that answers after a reason was said before its first answer was
// missing when the opening's commands went (the port not there, the radio
// off): they go now, after a "TX0" in case it was left transmitting, and
// once its identity is known, so that they are in its own model's forms.
//
// Then it is asked its identity, unless it has given it since the link last
// failed (at the start, just before). An answer to a question asked
// before it comes before its answer or never (it was asked of a silent
// radio), and those still waiting are given up with its answer
// (PollQueries), so the answers after it are to the questions after it. It
// is asked its mode, then its frequency, whose answer says "connected",
// ends a tuning left on and lets the keys act (readFrequencyReply): by then
// the mode is the radio's own, and F says it. Only a carrier's end, which
// gives the operator's mode back, leaves the mode unasked: the radio is on
// the carrier's until then. The answers come with the poll's; a radio
// silent again before them is found at its next answer, once they are
// given up.
void FrontPanel::radioFound() {
  if (foundSinceStart == 0 && linkFaultsSaid != 0) {
    radio->transmit(false);
    askIdentityAndWait();  // the opening's commands go in its own model's forms
    sendOpeningState();
  }
  if (radioIdentified == 0) askRadio(Question::identity, false);
  bool carrierEndOwed = tuneCarrier == 1 && (tuneActive == 1 || tuneEndOwed == 1);
  if (!carrierEndOwed) askRadio(Question::mode, false);
  askRadio(Question::frequency, true);
}
