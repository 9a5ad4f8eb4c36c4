// The mode, the band and the filter width, each said from a table.
#include <algorithm>
#include <array>

#include "state/band_table.h"
#include "state/front_panel.h"

namespace {

// Width steps 9..21 are said 1.8, 1.9, 2.1 .. 2.9, 3.0, 3.1 kHz: the scale
// has no 2.0. A step off the scale says the whole number of the nearest
// end and no tenth.
struct WidthRow {
  const char* whole;
  const char* tenth;
};

constexpr std::array<WidthRow, widestWidth - narrowestWidth + 1> widthScale = {{
    {"1.wav", "8.wav"},  // 9
    {"1.wav", "9.wav"},  // 10
    {"2.wav", "1"},      // 11
    {"2.wav", "2"},
    {"2.wav", "3"},
    {"2.wav", "4"},
    {"2.wav", "5"},
    {"2.wav", "6"},
    {"2.wav", "7"},
    {"2.wav", "8"},
    {"2.wav", "9"},      // 19
    {"3.wav", "0.wav"},  // 20
    {"3.wav", "1.wav"},  // 21
}};

const WidthRow& widthRow(int width) {
  return widthScale[static_cast<std::size_t>(std::clamp(width, narrowestWidth, widestWidth) -
                                             narrowestWidth)];
}

}  // namespace

void FrontPanel::announceMode() {
  if (isMode(modeIndex)) speakWord(modeTable[modeIndex].word);
}

void FrontPanel::announceBand() {
  if (isBand(bandIndex)) speakWord(bandTable[bandIndex].word);
  if (bandIndex == noBand) speakWord("un");
  if (bandIndex < noBand) speakWord("metres");
}

void FrontPanel::announceNoBandToStepFrom() {
  speakWord("band");
  speakWord("un");
}

void FrontPanel::announceWidth() {
  speakWord("bw");
  speakWord(widthRow(filterWidth).whole);
  speakWord("point");
  if (filterWidth >= narrowestWidth && filterWidth <= widestWidth) {
    speakWord(widthRow(filterWidth).tenth);
  }
  speakWord("khz");
}
