// A command the radio refused. The operator hears "refused", or "not
// available" when the radio has no such function or level at all (the
// dialect then sends it no more, and its key says so): the key's own words
// were said as it was pressed, before the radio could answer, so the
// refusal follows them. The program's picture of the radio gives the
// refused value up: the setting goes back to the value sent before it (the
// poll's next report corrects the frequency and the band in any case). The
// dialect has written which command it was to the traffic log.
//
// Not heard: a refused question (the poll asks again in a moment; a radio
// that refused every one would otherwise say so five times a second; a
// refused "ID;" identifies no model, radio/identity.cpp), the
// wake-up text (a radio already on may refuse it), and a refusal that
// answers no command waiting.
#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

using Kind = Operation::Kind;

// The program's value of a level or a function.
int* valueOf(FrontPanel& p, const Operation& operation) {
  if (operation.kind == Kind::level) {
    switch (operation.level) {
      case Level::afGain:
        return &p.afGain;
      case Level::rfGain:
        return &p.rfGain;
      case Level::power:
        return &p.powerWatts;
      case Level::width:
        return &p.filterWidth;
    }
  }
  switch (operation.function) {
    case Function::preamp:
      return &p.preampOn;
    case Function::attenuator:
      return &p.attenuatorOn;
    case Function::noiseBlanker:
      return &p.noiseBlankerOn;
    case Function::noiseReduction:
      return &p.noiseReductionOn;
    case Function::notch:
      return &p.notchOn;
    case Function::processor:
      break;
  }
  return &p.processorOn;
}

// Only a value that is still the refused one goes back: a later command has
// put another in its place.
void giveBack(int& value, const Operation& refused, const std::optional<int>& before) {
  if (value == refused.value && before) value = *before;
}

void undo(FrontPanel& p, const Operation& refused, const std::optional<int>& before) {
  switch (refused.kind) {
    case Kind::frequency:
      giveBack(p.heardFrequencyHz, refused, before);
      giveBack(p.frequencyHz, refused, before);
      break;
    case Kind::mode: {
      int shown = p.modeIndex;
      giveBack(p.modeIndex, refused, before);
      if (before && p.radioMode == RadioMode{refused.value, 0}) p.radioMode = {*before, 0};
      if (before && p.heardRadioMode == RadioMode{refused.value, 0})
        p.heardRadioMode = {*before, 0};
      if (p.modeIndex != shown && isMode(p.modeIndex)) {
        p.platform.setTextPosition(modeX, modeY);
        p.platform.printText(std::string(modeTable[p.modeIndex].label) + "\r\n");
      }
      break;
    }
    case Kind::level:
    case Kind::function:
      giveBack(*valueOf(p, refused), refused, before);
      break;
    case Kind::tune:  // the tuner did not start
      if (refused.value == 1) p.tuneActive = 0;
      break;
    case Kind::transmit:  // no carrier: its power and mode go back as T would put them
      if (refused.value == 1 && p.tuneActive == 1) p.endTuning();
      break;
    default:
      break;
  }
}

}  // namespace

void FrontPanel::takeRefusal(const Reading& refusal) {
  if (refusal.candidates == 0) return;
  if (refusal.candidates == 1) {
    const Operation& refused = refusal.refused;
    if (refused.kind == Kind::wakeUp) return;
    if (refused.kind == Kind::question) {
      PollQuery query;
      pollQueries.answer(refused.question, query);
      if (refused.question == Question::identity) takeIdentity(refusal);
      return;
    }
    // A function the radio does not have is off, whatever was sent before.
    bool lackedFunction = refusal.lacking && refused.kind == Kind::function;
    undo(*this, refused, lackedFunction ? std::optional<int>(0) : refusal.before);
  }
  speakWord(refusal.lacking ? word::notAvailable : word::refused);
}
