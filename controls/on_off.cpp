// The functions switched on and off by one key each: the receiver functions
// (preamp, attenuator, noise blanker, noise reduction, notch), the speech
// processor, and the tuning.
#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

struct SwitchRow {
  int FrontPanel::*flag;
  word::Word name;
  Function function;
};

constexpr SwitchRow preamp{&FrontPanel::preampOn, word::preamp, Function::preamp};
constexpr SwitchRow attenuator{&FrontPanel::attenuatorOn, word::attenuator, Function::attenuator};
constexpr SwitchRow noiseBlanker{&FrontPanel::noiseBlankerOn, word::noiseBlanker,
                                 Function::noiseBlanker};
constexpr SwitchRow noiseReduction{&FrontPanel::noiseReductionOn, word::noiseReduction,
                                   Function::noiseReduction};
constexpr SwitchRow notch{&FrontPanel::notchOn, word::notch, Function::notch};
constexpr SwitchRow speechProcessor{&FrontPanel::processorOn, word::speechProcessor,
                                    Function::processor};

// The radio's own state is never read back: the flag is the program's record,
// flipped here, and the command follows the flag. Both words are said before
// the command goes out. A function the radio lacks says so and stays off.
void toggle(FrontPanel& panel, const SwitchRow& row) {
  int& on = panel.*row.flag;
  panel.speakWord(row.name);
  if (panel.radio->facts().lacks(row.function)) {
    panel.speakWord(word::notAvailable);
    return;
  }
  on = on == 1 ? 0 : 1;
  panel.speakWord(on == 1 ? word::on : word::off);
  panel.radio->setFunction(row.function, on == 1);
}

// The tune key's carrier: AM at 5 W.
constexpr int tuneCarrierWatts = 5;

}  // namespace

void FrontPanel::togglePreamp() { toggle(*this, preamp); }
void FrontPanel::toggleAttenuator() { toggle(*this, attenuator); }
void FrontPanel::toggleNoiseBlanker() { toggle(*this, noiseBlanker); }
void FrontPanel::toggleNoiseReduction() { toggle(*this, noiseReduction); }
void FrontPanel::toggleNotch() { toggle(*this, notch); }
void FrontPanel::toggleSpeechProcessor() { toggle(*this, speechProcessor); }

// Band selection and direct entry set the preamp for the band through
// togglePreamp, so the operator hears it and the radio is told: the flag is
// set to the opposite of the state wanted first. A radio without a preamp
// hears nothing of it.
void FrontPanel::setPreamp(bool on) {
  if (radio->facts().lacks(Function::preamp)) return;  // not said at every band
  preampOn = on ? 0 : 1;
  togglePreamp();
}

// Tuning uses the radio's own tuner, or, with tuneCarrier set, a low-power
// AM carrier; afterwards the configured power and the current mode go back.
// The carrier ends before a word is said.
void FrontPanel::toggleTune() {
  if (tuneActive == 1) {
    endTuning();
    speakWord(word::tune);
    speakWord(word::off);
    return;
  }
  speakWord(word::tune);
  // The carrier needs the transmitter at its low power.
  bool lacking = tuneCarrier == 0 ? radio->facts().lacks(Feature::tuner)
                                  : radio->facts().lacks(Feature::transmit) ||
                                        radio->facts().lacks(Level::power);
  if (lacking) {
    speakWord(word::notAvailable);
    return;
  }
  speakWord(word::on);
  swrTick = noReading;  // no SWR of this tuning yet
  if (tuneCarrier == 0) {
    radio->tune(true);
  } else {
    radio->setLevel(Level::power, tuneCarrierWatts);
    commandMode(amMode);
    radio->transmit(true);
  }
  tuneActive = 1;
}

// The radio cannot be reached, so the tuning is ended in the program at
// once and its end goes to the radio, again, when it answers (poll.cpp).
// The commands are sent now too, in case the radio hears but cannot answer.
void FrontPanel::tuneOffWhileLost() {
  endTuning();
  tuneEndOwed = 1;
  speakWord(word::tune);
  speakWord(word::off);
  speakWord(word::notConnected);
}

// The carrier goes off before the operator's power and mode come back, so
// the power is never raised while the radio transmits. The frequency goes
// back as it was, not rounded as a mode chosen by the M key rounds it: the
// carrier moved nothing.
void FrontPanel::endTuning() {
  tuneEndOwed = 0;
  if (tuneCarrier == 0) {
    radio->tune(false);
  } else {
    radio->transmit(false);
    sendPower();
    sendMode();
    if (isMode(modeIndex)) sendFrequency(frequencyHz);
  }
  tuneActive = 0;
}
