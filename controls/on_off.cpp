// The receiver functions switched on and off by one key each.
#include "app/front_panel.h"
#include "radio/cat.h"

namespace {

struct SwitchRow {
  int FrontPanel::*flag;
  const char* word;
  const cat::Switch& command;
};

constexpr SwitchRow preamp{&FrontPanel::preampOn, "preamp", cat::preamp};
constexpr SwitchRow attenuator{&FrontPanel::attenuatorOn, "at", cat::attenuator};
constexpr SwitchRow noiseBlanker{&FrontPanel::noiseBlankerOn, "nb", cat::noiseBlanker};
constexpr SwitchRow noiseReduction{&FrontPanel::noiseReductionOn, "nr", cat::noiseReduction};

// The radio's own state is never read back: the flag is the program's record,
// flipped here, and the command follows the flag. Both words are said before
// the command goes out.
void toggle(FrontPanel& panel, const SwitchRow& row) {
  int& on = panel.*row.flag;
  panel.speakWord(row.word);
  if (on == 1) {
    panel.commandText = cat::switched(row.command, false);
    on = 0;
    panel.speakWord("off");
  } else {
    panel.commandText = cat::switched(row.command, true);
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
