// The poll: on every timer tick either a query goes to the radio or what the
// radio has sent since is read and interpreted. Four ticks make one cycle:
// ask the frequency, read it, ask a meter, read it.
//
// A frequency reply tells how the radio was when its query reached it. When
// the program has sent a frequency or mode command after that query (a key,
// a band step), the reply tells how the radio was before the change, and
// taken as its state it would undo the change: on the screen, in the band
// memory, in the next band step and in the frequency the next key starts
// from. So each query is stamped with the count of those commands sent
// before it, and a frequency reply is taken only when its query's count is
// still the count now. The radio answers in the order it was asked, so each
// whole reply is matched to the oldest waiting query of its kind, however
// late it comes and however the reads cut it. A query left unanswered for a
// second is given up; a reply that no waiting query matches (the radio
// spoke unasked, or later than that) is not taken either.
//
// Until the radio has given its identity (radio/identity.cpp) it is asked
// for it together with its frequency, the identity first, so that the
// dialect reads the frequency reply in the radio's own forms.
//
// With SPEAK_RADIO_CHANGES the radio's mode is asked together with its
// frequency, and a frequency or mode that the radio reports differently
// from what the operator chose or was told (the radio's own knob, another
// program) is said once the radio's reports have stayed the same for a
// second. Only replies taken by the rule above count, so neither the
// program's own commands nor late replies are ever said as changes.
#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/window_layout.h"
#include "state/words.h"

namespace {

constexpr int frequencyWipe = 13;  // blanks after the frequency cover a longer text

// Ticks never come faster than one per 50 ms, so this is a second at least.
constexpr int unansweredTicks = 20;
constexpr int restingTicks = 20;  // a change at the radio is said after this rest

// An echo of the program's own question, or noise, is no answer of the radio.
bool fromTheRadio(const Reading& reading) {
  using Kind = Reading::Kind;
  return reading.kind != Kind::echo && reading.kind != Kind::unknown &&
         reading.kind != Kind::absent;  // rigctld's word for a radio that did not answer
}

}  // namespace

// The operator chose what the program commands: it is no change made at the
// radio, and one made there and not yet said is superseded.
void FrontPanel::commandFrequency(int hz) {
  ++stateCommandCount;
  heardFrequencyHz = frequencyHz;
  heardRadioMode = radioMode;
  radio->setFrequency(hz);
}

void FrontPanel::commandMode(int mode) {
  ++stateCommandCount;
  radioMode = {mode, 0};
  heardFrequencyHz = frequencyHz;
  heardRadioMode = radioMode;
  radio->setMode(mode);
}

void FrontPanel::pollRadio() {
  ++pollTick;
  if (!watchLink()) return;  // no port to ask through
  if (awaitingReply == 0) {
    Question question = Question::frequency;
    if (pollToggle == 1) question = tuneActive == 1 ? Question::swr : Question::sMeter;
    pollQueries.asked({question, pollTick, stateCommandCount});
    pollToggle = 1 - pollToggle;
    radio->ask(question);
    if (question == Question::frequency && speakRadioChanges == 1) {
      pollQueries.asked({Question::mode, pollTick, stateCommandCount});
      radio->ask(Question::mode);
    }
    awaitingReply = 1;
    sayRadioChangesAtRest();
    return;
  }

  awaitingReply = 0;
  pollQueries.forgetAskedBefore(pollTick - unansweredTicks);
  forgetStaleMeters();
  sayRadioChangesAtRest();
  // A missing reply is not waited for.
  bool heard = false;
  for (const Reading& reading : radio->read()) {
    heard = heard || fromTheRadio(reading);
    takeReading(reading);
  }
  if (heard && connectedSpoken == 0 && !pollQueries.connecting()) radioFound();
}

// A question asked outside the poll's turns, waiting among the poll's for
// its answer; its number, or 0 when it did not go out.
int FrontPanel::askRadio(Question question, bool connects) {
  if (!radio->ask(question)) return 0;
  return pollQueries.asked({question, pollTick, stateCommandCount, connects});
}

// The keys that start from the radio's frequency ask it first, and wait for
// the answer: the radio's own knob may have turned it since the poll last
// asked, and a key that stepped, rounded or stored the frequency the
// program knew would undo the operator's turn. The readings that come
// before the answer are taken as the poll takes them, in order; so is the
// answer, which also takes a band step the arrows queued. A radio that
// falls silent first ends the wait, and the key works from the frequency
// last known; its answer, if it comes later, is taken by the poll.
void FrontPanel::askFrequencyFirst() {
  int number = askRadio(Question::frequency, false);
  if (number == 0) return;
  radio->awaitAnswer([&](const Reading& reading) {
    takeReading(reading);
    return !pollQueries.waiting(number);
  });
}

// Every answer the radio sends comes here once, in the order it came,
// whether it is then taken or not.
void FrontPanel::takeReading(const Reading& reading) {
  using Kind = Reading::Kind;
  if (reading.kind == Kind::absent) {
    takeAbsence(reading);
    return;
  }
  if (!fromTheRadio(reading)) return;
  radioAnswered();  // the radio is there, whatever it says
  PollQuery query;
  switch (reading.kind) {
    case Kind::frequency:
      // Until the radio is found (radioFound), its reports are not taken:
      // it may not be in the state the program would take them in.
      if (pollQueries.answer(Question::frequency, query) &&
          query.stateCommands == stateCommandCount && (connectedSpoken == 1 || query.connects)) {
        readFrequencyReply(reading);
      }
      break;
    case Kind::sMeter:
      pollQueries.answer(Question::sMeter, query);
      // Only the printed label is refreshed: nothing is heard.
      sMeterDb = reading.value;
      sMeterTick = pollTick;
      showSMeter();
      break;
    case Kind::mode:
      if (pollQueries.answer(Question::mode, query) && query.stateCommands == stateCommandCount) {
        readModeReply(reading);
      }
      break;
    case Kind::swr:
      pollQueries.answer(Question::swr, query);
      swrTenths = reading.value;
      swrTick = pollTick;
      if (swrSaidAtReadings(swrAnnounce)) announceSwrUntilKey();
      break;
    case Kind::identity:
      pollQueries.answer(Question::identity, query);
      takeIdentity(reading);
      break;
    case Kind::foreign:
      takeForeignReply(reading);
      break;
    case Kind::refused:
      takeRefusal(reading);
      break;
    default:
      break;
  }
}

// The radio's server answered for the radio, which did not: no answer of
// the radio's, but the reason the link watch says. A question so answered
// is answered.
void FrontPanel::takeAbsence(const Reading& reading) {
  radioAbsence = reading.switchedOff ? Absence::switchedOff : Absence::silent;
  PollQuery query;
  if (reading.refused.kind == Operation::Kind::question) {
    pollQueries.answer(reading.refused.question, query);
  }
}

void FrontPanel::readFrequencyReply(const Reading& reading) {
  bool first = connectedSpoken == 0;  // the answer that finds the radio (radioFound)
  if (first) {
    speakWord(word::connected);
    // The log tells when keys work again, as it tells when they stopped.
    writeLogLine("LINK=radio connected, " + linkName());
    connectedSpoken = 1;
    foreignReply.clear();  // it is understood
    foundSinceStart = 1;
    radioLost = 0;
    linkFaultsSaid = 0;
  }
  frequencyHz = reading.value;
  // The radio's first report is where the operator starts from.
  if (first) heardFrequencyHz = frequencyHz;
  if (frequencyHz != reportedHz) radioMovedTick = pollTick;
  reportedHz = frequencyHz;
  lastReplyMode = modeIndex;  // no mode command since the query: the radio's mode
  lastReplyPointBand = pointModeBand;
  // A tuning that was on when the radio stopped answering may have kept it
  // transmitting all the while, out of the operator's reach: it ends now,
  // as the tune key ends it, from the frequency the radio has just given.
  if (first && (tuneActive == 1 || tuneEndOwed == 1)) {
    endTuning();
    speakWord(word::tune);
    speakWord(word::off);
  }
  freqDisplay = frequencyDisplayText(frequencyHz);
  platform.setTextPosition(layout::frequencyX, layout::frequencyY);
  platform.printText(freqDisplay + blanks(frequencyWipe));

  trackBand();
  takeQueuedBandStep();
}

// A mode that the radio reports differently from the one last commanded or
// reported is the radio's: the program follows it and shows it at once, and
// says it once it has rested. A mode the program has no word for changes
// nothing. (The tune key's AM carrier is commanded, so it is no change.)
void FrontPanel::readModeReply(const Reading& reading) {
  if (reading.mode.mode == 0 || reading.mode == radioMode) return;
  radioMode = reading.mode;
  radioMovedTick = pollTick;
  // Chosen at the radio, for the band it is on.
  pointModeBand = 0;
  if (reading.mode.mode == modeIndex) return;  // a variant of the mode shown (CW on the lower side)
  modeIndex = reading.mode.mode;
  platform.setTextPosition(modeX, modeY);
  platform.printText(std::string(modeTable[modeIndex].label) + "\r\n");
}

void FrontPanel::sayRadioChangesAtRest() {
  if (speakRadioChanges == 0 || connectedSpoken == 0) return;
  bool frequencyMoved = frequencyHz != heardFrequencyHz;
  bool modeMoved = !(radioMode == heardRadioMode);
  if ((!frequencyMoved && !modeMoved) || pollTick - radioMovedTick < restingTicks) return;
  heardFrequencyHz = frequencyHz;
  heardRadioMode = radioMode;
  if (modeMoved) announceMode();
  if (frequencyMoved) announceFrequency();
}

// The band memory saved at the end holds the frequency the radio is on. Its
// last report can be older than the last keys (Q right after Page Up: the
// reports since told how the radio was before the steps), so the radio is
// asked once more and its answer waited for briefly. A radio that is lost
// or silent leaves the band memory as its last report made it. Replies to
// earlier questions come first and are passed over; a refusal is heard.
void FrontPanel::askFrequencyAtEnd() {
  if (connectedSpoken == 0) return;  // lost, or never heard
  int askedTick = ++pollTick;
  pollQueries.asked({Question::frequency, askedTick, stateCommandCount});
  radio->ask(Question::frequency);
  radio->awaitAnswer([&](const Reading& reading) {
    if (reading.kind == Reading::Kind::refused) takeRefusal(reading);
    PollQuery query;
    if (reading.kind != Reading::Kind::frequency ||
        !pollQueries.answer(Question::frequency, query) || query.tick != askedTick) {
      return false;
    }
    reportedHz = reading.value;
    lastReplyMode = modeIndex;
    lastReplyPointBand = pointModeBand;
    return true;
  });
}
