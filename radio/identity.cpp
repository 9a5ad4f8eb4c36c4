// Which radio answers. The radio is asked for its identity ("ID;") at the
// start, before the commands that bring it to the program's state, and
// each time it is found (radioFound); the dialect then speaks that model's
// own forms. An identity of no model the dialect
// knows leaves it speaking as before, and is said once.
//
// A radio that answers, but never with a frequency the dialect reads
// (another maker's radio, whose frequency has eleven digits), would
// otherwise count as there and never connected: every key would say "not
// connected" without a reason. After a second of such answers it is said
// once, "radio not understood", with what it sent and the way to reach a
// radio of another maker.
#include <cstdio>
#include <string>

#include "radio/link_fault.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

constexpr int ticksToNotUnderstood = 20;  // a second of 50 ms ticks

}  // namespace

// Waited for as the end waits for the frequency: briefly, and not at all
// when the port is not open or the radio is silent.
void FrontPanel::askIdentityAndWait() {
  if (askRadio(Question::identity, false) == 0) return;
  radio->awaitAnswer([&](const Reading& reading) {
    takeReading(reading);
    return radioIdentified == 1;
  });
}

// A refusal of "ID;" identifies no model, as an identity of none does.
void FrontPanel::takeIdentity(const Reading& reading) {
  radioIdentified = 1;
  if (!reading.model.empty()) {
    writeLogLine("RADIO=" + reading.model + ", " + reading.reply);
    return;
  }
  if (reading.reply == unknownIdentitySaid) return;
  unknownIdentitySaid = reading.reply;
  speakWord(word::unknownModel);
  std::string answer =
      reading.kind == Reading::Kind::refused ? "refuses ID;" : "answers ID; with " + reading.reply;
  reportProblem("the radio " + answer +
                ", which names no model in this program's table of Yaesu FT radios: it is spoken "
                "to in the FT-991A's forms (docs/station.md lists the models)");
}

// The first such reply is the one named: the poll asks the frequency first,
// so it is the answer to that.
void FrontPanel::takeForeignReply(const Reading& reading) {
  if (connectedSpoken == 0 && foreignReply.empty()) foreignReply = reading.reply;
}

void FrontPanel::watchUnderstanding() {
  if (connectedSpoken == 1 || foreignReply.empty()) {
    ticksNotUnderstood = 0;
    return;
  }
  if (++ticksNotUnderstood < ticksToNotUnderstood || notUnderstoodSaid == 1) return;
  notUnderstoodSaid = 1;
  speakWord(linkFaultWord(LinkFault::notUnderstood));
  std::string text = linkName() + ": " +
                     std::string(linkFaultText(LinkFault::notUnderstood)) + " (it sent \"" +
                     foreignReply + "\")";
  writeLogLine("LINK=" + text);
  std::fprintf(stderr, "quelmo: %s\n", text.c_str());
}
