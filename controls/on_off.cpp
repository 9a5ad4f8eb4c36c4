// The receiver functions switched on and off by one key each.
#include "app/front_panel.h"

namespace {

struct SwitchRow {
  int FrontPanel::*flag;
  const char* word;
  const char* offCommand;
  const char* onCommand;
};

constexpr SwitchRow preamp{&FrontPanel::preampOn, "preamp", "PA00", "PA01"};
constexpr SwitchRow attenuator{&FrontPanel::attenuatorOn, "at", "RA00", "RA01"};
constexpr SwitchRow noiseBlanker{&FrontPanel::noiseBlankerOn, "nb", "NB00", "NB01"};
constexpr SwitchRow noiseReduction{&FrontPanel::noiseReductionOn, "nr", "NR00", "NR01"};

// The radio's own state is never read back: the flag is the program's record,
// flipped here, and the command follows the flag. Both words are said before
// the command goes out.
void toggle(FrontPanel& panel, const SwitchRow& row) {
  int& on = panel.*row.flag;
  panel.speakWord(row.word);
  if (on == 1) {
    panel.commandText = row.offCommand;
    on = 0;
    panel.speakWord("off");
  } else {
    panel.commandText = row.onCommand;
    on = 1;
    panel.speakWord("on");
  }
  panel.sendCommand();
}

}  // namespace

void FrontPanel::togglePreamp() { toggle(*this, preamp); }
void FrontPanel::toggleAttenuator() { toggle(*this, attenuator); }
void FrontPanel::toggleNoiseBlanker() { toggle(*this, noiseBlanker); }
void FrontPanel::toggleNoiseReduction() { toggle(*this, noiseReduction); }
