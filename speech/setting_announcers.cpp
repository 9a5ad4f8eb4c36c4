// The mode, the band and the filter width, each said from a table.
#include <algorithm>

#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/words.h"

void FrontPanel::announceMode() {
  if (isMode(modeIndex)) speakWord(modeTable[modeIndex].word);
}

void FrontPanel::announceBand() {
  if (isBand(bandIndex)) speakWord(bandTable[bandIndex].word);
  if (bandIndex == noBand) speakWord(word::noBand);
  if (bandIndex < noBand) speakWord(word::metres);
}

void FrontPanel::announceNoBandToStepFrom() {
  speakWord(word::band);
  speakWord(word::noBand);
}

// The width step's kilohertz to the tenth, from the radio's width steps
// ("bandwidth 2 point 4 kilohertz"). A step off the radio's scale says the
// whole kilohertz of the nearest end and no tenth.
void FrontPanel::announceWidth() {
  std::span<const WidthStep> widths = radio->facts().widths;
  auto step = std::find_if(widths.begin(), widths.end(),
                           [this](const WidthStep& width) { return width.step == filterWidth; });
  int hz = step != widths.end()                ? step->hz
           : filterWidth < widths.front().step ? widths.front().hz
                                               : widths.back().hz;
  speakWord(word::bandwidth);
  speakWord(word::digit(hz / 1000 % 10));
  speakWord(word::point);
  if (step != widths.end()) speakWord(word::digit(hz / 100 % 10));
  speakWord(word::kilohertz);
}
